#pragma once
// The dab: one stamp of the brush. The host computes every dab position along a stroke; everything
// else comes from the tool settings. The dab paints into the paint layer when it has pixels, else into
// the current layer, or into the mask plane while the mask-maker switch is armed.
namespace vlm::brush {

// Stores (r, g, b) high bytes as the current colour and draws one dab centred on (x, y).
void draw_dab(int x, int y, int r, int g, int b);
// Draws one dab of the current colour's mask level into the mask plane.
void draw_dab_mask(int x, int y);

} // namespace vlm::brush
