// The tablet reports nothing through the last-error text: every failure answers as "no tablet".
#include "exports/guard.h"
#include "pen/tablet.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::silent;

int VLM_InitTablet(void* window) {
    return silent(0, [&] { return pen::init_tablet(window); });
}

void VLM_CloseTablet(void) { pen::close_tablet(); }

int VLM_SetTabletOrigin(void) { return pen::set_tablet_origin(); }

void VLM_ResetTabletPressure(void) { pen::reset_tablet_pressure(); }

int VLM_ReadTabletPackets(void) { return pen::read_tablet_packets(); }

int VLM_ReadTabletPressure(unsigned int index) { return pen::read_tablet_pressure(index); }

int VLM_ReadRawTabletPressure(int index) { return pen::read_raw_tablet_pressure(index); }

int VLM_IsPacketInvert(unsigned int index) { return pen::is_packet_invert(index); }

unsigned int VLM_PacketStatus(unsigned int index) { return pen::packet_status(index); }

int VLM_ReadTabletX(unsigned int index) { return pen::read_tablet_x(index); }

int VLM_ReadTabletY(unsigned int index) { return pen::read_tablet_y(index); }

int VLM_SetTabletDevice(const char* path) { return pen::set_tablet_device(path) ? 1 : 0; }

void VLM_SetTabletAxes(int x_min, int x_max, int y_min, int y_max, int pressure_min, int pressure_max) {
    pen::set_tablet_axes({{x_min, x_max}, {y_min, y_max}, {pressure_min, pressure_max}});
}

void VLM_SetTabletOriginAt(int x, int y) { pen::set_tablet_origin_at(x, y); }
