/* velmora: tablet input. Include velmora/velmora.h.
 *
 * The tablet is a Linux input device (evdev) with a pressure axis: VLM_InitTablet opens the device
 * set with VLM_SetTabletDevice or else the first pen among /dev/input/event* (a device with a pen
 * tool and a pressure axis; failing that, the first device with a pressure axis), without grabbing
 * it, so the pen still moves the pointer. The host polls: VLM_ReadTabletPackets moves the packets
 * queued since the last call (at most 256) into the batch that the per-packet questions read.
 *
 * Packets. Every input report (SYN_REPORT) that changes the status, position or pressure queues one
 * packet. Status bits: 0x10 the eraser end is in use (BTN_TOOL_RUBBER), 0x01 the pen has left the
 * tablet (no tool key held), 0x02 events were lost before this packet (SYN_DROPPED), 0x100 the tip
 * touches (BTN_TOUCH), 0x200, 0x400, 0x800 barrel buttons held (BTN_STYLUS, BTN_STYLUS2, BTN_STYLUS3).
 * Pressure is pressure * (100 / (maximum - minimum)) of the pressure axis in single precision,
 * truncated and capped at 100 (the minimum is not subtracted); VLM_ReadTabletPressure answers at
 * least 1.
 *
 * Positions. The device's X and Y axes (values clamped into their ranges) are spread over the X11
 * screen: screen x = (x - x minimum) * screen width / (x maximum - x minimum + 1), likewise y with
 * the height; without a display, positions stay in device units counted from each axis minimum. The
 * per-packet answers subtract the origin, the screen position of the window's client area, so they
 * are window coordinates once the origin is set (VLM_SetTabletOrigin or VLM_SetTabletOriginAt).
 *
 * Recorded input. VLM_SetTabletDevice also accepts a FIFO or a regular file of struct input_event
 * records, read as a device would be. Such a source cannot report its axis ranges: they are those
 * given to VLM_SetTabletAxes, and without a pressure range there VLM_InitTablet finds no tablet.
 *
 * Without a tablet every question answers 0, except pressure, which answers the last pressure.
 */
#ifndef VELMORA_VLM_TABLET_H
#define VELMORA_VLM_TABLET_H

VLM_EXTERN_C_BEGIN

/** Opens the tablet for window (X11 Window id as a pointer): 1 when open, 0 without a pressure device. */
VLM_API int VLM_InitTablet(void* window);
/** Closes the tablet; calling it again does nothing. */
VLM_API void VLM_CloseTablet(void);
/** Takes the window's client-area screen position as the origin: 1 when updated, 0 without tablet/window. */
VLM_API int VLM_SetTabletOrigin(void);
/** Starts a stroke: the last pressure becomes 10 and up to 1000 packets queued before now are discarded. */
VLM_API void VLM_ResetTabletPressure(void);
/** Moves up to 256 queued packets into the batch and returns how many (0 without a tablet). */
VLM_API int VLM_ReadTabletPackets(void);
/** Pressure 1..100 of batch packet index, kept as the last pressure; beyond the batch: the last pressure,
 *  which then rises by 25 to at most 100. Without a tablet: the last pressure, unchanged. */
VLM_API int VLM_ReadTabletPressure(unsigned int index);
/** Pressure 0..100 of buffer packet index 0..255, even beyond the batch; 0 without a tablet or past 255. */
VLM_API int VLM_ReadRawTabletPressure(int index);
/** 1 when batch packet index has the eraser bit 0x10 in its status, else 0. */
VLM_API int VLM_IsPacketInvert(unsigned int index);
/** The status word of batch packet index, or 0. */
VLM_API unsigned int VLM_PacketStatus(unsigned int index);
/** Window x of batch packet index (screen x minus origin x), or 0. */
VLM_API int VLM_ReadTabletX(unsigned int index);
/** Window y of batch packet index (screen y minus origin y), or 0. */
VLM_API int VLM_ReadTabletY(unsigned int index);
/** Names the device, FIFO or input-event file that VLM_InitTablet opens (NULL or "": search /dev/input);
 *  1 when stored, 0 for a path of 4096 bytes or more. */
VLM_API int VLM_SetTabletDevice(const char* path);
/** Axis ranges for a source that cannot report its own (a FIFO or file); a device's own always win. */
VLM_API void VLM_SetTabletAxes(int x_min, int x_max, int y_min, int y_max, int p_min, int p_max);
/** Sets the origin (the client area's screen position) directly, with or without a tablet. */
VLM_API void VLM_SetTabletOriginAt(int x, int y);

VLM_EXTERN_C_END

#endif
