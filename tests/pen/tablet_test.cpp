// The tablet driven as a host drives it, with recorded input events standing in for the pen device.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/engine_state.h"
#include "pen/device.h"
#include "support/engine_fixture.h"
#include "x_display.h"

namespace vlm::pen {
namespace {

using Events = std::vector<input_event>;

input_event event(int type, int code, int value) {
    input_event e{};
    e.type = static_cast<std::uint16_t>(type);
    e.code = static_cast<std::uint16_t>(code);
    e.value = value;
    return e;
}

void add(Events& events, std::initializer_list<input_event> more) { events.insert(events.end(), more); }
void report(Events& events) { events.push_back(event(EV_SYN, SYN_REPORT, 0)); }
void pen_frame(Events& events, int x, int y, int pressure) {
    add(events, {event(EV_ABS, ABS_X, x), event(EV_ABS, ABS_Y, y), event(EV_ABS, ABS_PRESSURE, pressure)});
    report(events);
}

class TabletTest : public test::EngineTest {
protected:
    void TearDown() override {
        VLM_CloseTablet();
        EngineTest::TearDown();
    }

    std::string record(const Events& events, const char* name = "events.bin") {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(events.data()),
                   static_cast<std::streamsize>(events.size() * sizeof(input_event)));
        return path;
    }

    // Opens a recording as the tablet, with an X axis 0..2047, Y 0..1535 and the given pressure axis.
    int open(const Events& events, int pressure_min = 0, int pressure_max = 1023, void* window = nullptr) {
        EXPECT_EQ(VLM_SetTabletDevice(record(events).c_str()), 1);
        VLM_SetTabletAxes(0, 2047, 0, 1535, pressure_min, pressure_max);
        return VLM_InitTablet(window);
    }

    // One folder per test: the tests run side by side in separate processes.
    std::string dir_ = test::temp_dir(std::string("tablet-") +
                                      testing::UnitTest::GetInstance()->current_test_info()->name());
};

void expect_no_tablet_answers() {
    EXPECT_EQ(VLM_ReadTabletPackets(), 0);
    for (unsigned int i : {0u, 1u, 255u}) {
        EXPECT_EQ(VLM_ReadTabletX(i), 0);
        EXPECT_EQ(VLM_ReadTabletY(i), 0);
        EXPECT_EQ(VLM_PacketStatus(i), 0u);
        EXPECT_EQ(VLM_IsPacketInvert(i), 0);
        EXPECT_EQ(VLM_ReadRawTabletPressure(static_cast<int>(i)), 0);
    }
    EXPECT_EQ(VLM_SetTabletOrigin(), 0);
}

TEST_F(TabletTest, WithoutADeviceEveryQuestionAnswersAsWithoutATablet) {
    // Nothing there, a directory, and a recording whose pressure range the host never gave.
    EXPECT_EQ(VLM_SetTabletDevice((dir_ + "/missing").c_str()), 1);
    EXPECT_EQ(VLM_InitTablet(nullptr), 0);
    EXPECT_EQ(VLM_SetTabletDevice(dir_.c_str()), 1);
    EXPECT_EQ(VLM_InitTablet(nullptr), 0);
    Events events;
    pen_frame(events, 1, 2, 3);
    EXPECT_EQ(VLM_SetTabletDevice(record(events).c_str()), 1);
    EXPECT_EQ(VLM_InitTablet(nullptr), 0);
    VLM_SetTabletAxes(0, 100, 0, 100, 500, 500); // a pressure axis that cannot vary
    EXPECT_EQ(VLM_InitTablet(nullptr), 0);

    expect_no_tablet_answers();
    // The last pressure starts full and never ramps without a tablet; a reset still lowers it.
    for (int i = 0; i < 6; ++i) EXPECT_EQ(VLM_ReadTabletPressure(0), 100);
    VLM_ResetTabletPressure();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(VLM_ReadTabletPressure(static_cast<unsigned>(i)), 10);
    VLM_CloseTablet();

    // A path that does not fit is refused.
    EXPECT_EQ(VLM_SetTabletDevice(std::string(4096, 'a').c_str()), 0);
    EXPECT_EQ(VLM_SetTabletDevice(std::string(4095, 'a').c_str()), 1);
    EXPECT_EQ(VLM_InitTablet(nullptr), 0);
}

TEST_F(TabletTest, DeviceSearchSkipsWhatIsNoPressureDevice) {
    for (const char* name : {"event0", "event12", "mouse0", "eventx"})
        std::ofstream(dir_ + "/" + name) << "not a device";
    mkdir((dir_ + "/event3").c_str(), 0755);
    EXPECT_EQ(find_pen_device(dir_.c_str()).fd, -1);
    EXPECT_EQ(find_pen_device((dir_ + "/absent").c_str()).fd, -1);

    // Named explicitly, a plain file is a recording and takes the host's axes.
    const Axes axes{{0, 9}, {0, 19}, {0, 29}};
    Source s = open_source((dir_ + "/event0").c_str(), axes);
    ASSERT_GE(s.fd, 0);
    EXPECT_EQ(s.axes.pressure.maximum, 29);
    close(s.fd);
    EXPECT_EQ(open_source((dir_ + "/event3").c_str(), axes).fd, -1);
}

TEST_F(TabletTest, PressureScalesByTheAxisRangeWithAFloorOfOne) {
    struct Case {
        int minimum, maximum, value;
        int pressure, raw;
    };
    const Case cases[] = {
        {0, 1023, 1023, 100, 100}, // the axis maximum is full pressure
        {0, 1023, 512, 50, 50},    {0, 1023, 11, 1, 1},
        {0, 1023, 10, 1, 0}, // 0.977 truncates to 0: the pressure answer never goes below 1
        {0, 1023, 0, 1, 0},        {100, 1123, 100, 9, 9}, // the minimum is not subtracted: 100 * 100 / 1023
        {0, 97, 97, 99, 99},                               // single precision: 97 * (100 / 97) is 99.99999
        {0, 1023, 5000, 100, 100},                         // beyond the axis: capped, not wrapped
        {0, 1023, -1, 100, 100},                           // a negative value is a huge unsigned one
        {0, 2047, 2047, 100, 100}, {0, 2047, 1500, 73, 73},
    };
    // The single-precision case above, worked independently of the engine.
    volatile float scale97 = 100.0f / 97.0f;
    ASSERT_EQ(static_cast<int>(97.0f * scale97), 99);

    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.minimum << ".." << c.maximum << " value " << c.value);
        Events events;
        pen_frame(events, 0, 0, c.value);
        ASSERT_EQ(open(events, c.minimum, c.maximum), 1);
        ASSERT_EQ(VLM_ReadTabletPackets(), 1);
        EXPECT_EQ(VLM_ReadRawTabletPressure(0), c.raw);
        EXPECT_EQ(VLM_ReadTabletPressure(0), c.pressure);
        EXPECT_EQ(g_engine.pen.last_pressure, c.pressure);
        VLM_CloseTablet();
    }
}

TEST_F(TabletTest, LastPressureRampsToFullWhenNoPacketAnswers) {
    ASSERT_EQ(open({}), 1);
    VLM_ResetTabletPressure();
    EXPECT_EQ(VLM_ReadTabletPackets(), 0);
    for (int expected : {10, 35, 60, 85, 100, 100}) EXPECT_EQ(VLM_ReadTabletPressure(0), expected);
}

TEST_F(TabletTest, IndexAtTheBatchCountAnswersNothingButThePressureRamp) {
    // An older batch of three leaves an eraser packet in slot 2; the batch of two read after it ends there.
    Events events;
    pen_frame(events, 1024, 768, 1023);
    pen_frame(events, 1024, 768, 512);
    Events older = events;
    add(older, {event(EV_KEY, BTN_TOOL_RUBBER, 1)});
    pen_frame(older, 2000, 1500, 300);
    ASSERT_EQ(open(older), 1);
    ASSERT_EQ(VLM_ReadTabletPackets(), 3);
    ASSERT_EQ(open(events), 1);
    ASSERT_EQ(VLM_ReadTabletPackets(), 2);

    EXPECT_EQ(VLM_ReadTabletPressure(1), 50);
    EXPECT_NE(VLM_ReadTabletX(1), 0);
    EXPECT_NE(VLM_ReadTabletY(1), 0);
    for (unsigned int i : {2u, 255u, 256u, 0xFFFFFFFFu}) {
        EXPECT_EQ(VLM_ReadTabletX(i), 0);
        EXPECT_EQ(VLM_ReadTabletY(i), 0);
        EXPECT_EQ(VLM_PacketStatus(i), 0u);
        EXPECT_EQ(VLM_IsPacketInvert(i), 0);
    }
    // The last pressure answers, then climbs to full pressure and stays there.
    for (int expected : {50, 75, 100, 100}) EXPECT_EQ(VLM_ReadTabletPressure(2), expected);

    // The raw answer reads any slot of the buffer, even past the batch, but nothing outside it.
    EXPECT_EQ(VLM_ReadRawTabletPressure(1), 50);
    EXPECT_EQ(VLM_ReadRawTabletPressure(2), 29);
    EXPECT_EQ(VLM_ReadRawTabletPressure(-1), 0);
    EXPECT_EQ(VLM_ReadRawTabletPressure(256), 0);
}

TEST_F(TabletTest, StatusCarriesTheEraserButtonsProximityAndLostEvents) {
    Events events;
    add(events, {event(EV_KEY, BTN_TOOL_PEN, 1)});
    pen_frame(events, 10, 10, 0); // 0: pen near
    pen_frame(events, 10, 10, 0); // unchanged: no packet
    add(events, {event(EV_ABS, ABS_TILT_X, 30)});
    report(events);                 // only tilt changed: no packet
    pen_frame(events, 10, 10, 300); // 1
    add(events, {event(EV_KEY, BTN_TOUCH, 1), event(EV_KEY, BTN_STYLUS2, 1)});
    report(events); // 2: tip down and a barrel button: buttons alone make a packet
    add(events, {event(EV_KEY, BTN_TOUCH, 0), event(EV_KEY, BTN_STYLUS2, 0), event(EV_KEY, BTN_STYLUS, 1),
                 event(EV_KEY, BTN_STYLUS3, 1)});
    report(events); // 3
    add(events,
        {event(EV_KEY, BTN_STYLUS, 0), event(EV_KEY, BTN_STYLUS3, 0), event(EV_KEY, BTN_TOOL_PEN, 0)});
    pen_frame(events, 10, 10, 0); // 4: the pen left
    add(events, {event(EV_KEY, BTN_TOOL_RUBBER, 1)});
    pen_frame(events, 20, 10, 200); // 5: eraser end
    add(events, {event(EV_SYN, SYN_DROPPED, 0), event(EV_ABS, ABS_PRESSURE, 999)});
    report(events);                 // 6: events lost; what came after the loss is not trusted
    pen_frame(events, 20, 10, 100); // 7
    add(events, {event(EV_KEY, BTN_TOOL_RUBBER, 0)});
    report(events); // 8

    ASSERT_EQ(open(events), 1);
    ASSERT_EQ(VLM_ReadTabletPackets(), 9);
    const unsigned int status[] = {0, 0, 0x500, 0xA00, 0x01, 0x10, 0x12, 0x10, 0x01};
    const int invert[] = {0, 0, 0, 0, 0, 1, 1, 1, 0};
    const int raw[] = {0, 29, 29, 29, 0, 19, 19, 9, 9};
    for (unsigned int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(VLM_PacketStatus(i), status[i]);
        EXPECT_EQ(VLM_IsPacketInvert(i), invert[i]);
        EXPECT_EQ(VLM_ReadRawTabletPressure(static_cast<int>(i)), raw[i]);
    }

    // The invert answer looks at bit 0x10 alone.
    g_engine.pen.packet_count = 4;
    const std::uint32_t words[] = {0xFFFFFFFFu, 0x10u, 0xFFFFFFEFu, 0x0Fu};
    const int inverted[] = {1, 1, 0, 0};
    for (int i = 0; i < 4; ++i) g_engine.pen.packets[i].status = words[i];
    for (unsigned int i = 0; i < 4; ++i)
        EXPECT_EQ(VLM_IsPacketInvert(i), inverted[i]) << std::hex << words[i];
}

TEST_F(TabletTest, PositionsSpreadTheAxesOverTheScreenLessTheOrigin) {
    int width = 0, height = 0; // no display: positions stay in device units
    x_screen_size(width, height);
    struct Case {
        int x, y;
        long long axis_x, axis_y; // the value clamped into 0..2047 and 0..1535
    };
    const Case cases[] = {{0, 0, 0, 0},
                          {1024, 768, 1024, 768},
                          {2047, 1535, 2047, 1535},
                          {-50, 9000, 0, 1535},
                          {5, 100, 5, 100}};
    Events events;
    for (const Case& c : cases) pen_frame(events, c.x, c.y, 100);
    ASSERT_EQ(open(events), 1);
    ASSERT_EQ(VLM_ReadTabletPackets(), 5);
    VLM_SetTabletOriginAt(100, -40);
    for (unsigned int i = 0; i < 5; ++i) {
        const Case& c = cases[i];
        const long long sx = width > 0 ? c.axis_x * width / 2048 : c.axis_x;
        const long long sy = height > 0 ? c.axis_y * height / 1536 : c.axis_y;
        EXPECT_EQ(VLM_ReadTabletX(i), sx - 100) << i;
        EXPECT_EQ(VLM_ReadTabletY(i), sy + 40) << i;
    }
    if (width == 1024) {
        EXPECT_EQ(VLM_ReadTabletX(2), 1023 - 100); // the axis maximum is the last pixel
    }
}

TEST_F(TabletTest, OriginIsTheWindowsClientAreaOnTheDisplay) {
    XWindows windows(37, 21, 5, 6);
    if (!windows.ok()) GTEST_SKIP() << "no X display";
    Events events;
    pen_frame(events, 0, 0, 100);
    ASSERT_EQ(open(events, 0, 1023, windows.inner()), 1);
    ASSERT_EQ(VLM_ReadTabletPackets(), 1);
    ASSERT_EQ(VLM_SetTabletOrigin(), 1);
    EXPECT_EQ(VLM_ReadTabletX(0), -42);
    EXPECT_EQ(VLM_ReadTabletY(0), -27);

    // A window the display does not know, or none: the origin stays and the process lives on.
    void* gone = windows.inner();
    windows.destroy_inner();
    for (void* w : {gone, static_cast<void*>(nullptr)}) {
        ASSERT_EQ(open(events, 0, 1023, w), 1);
        ASSERT_EQ(VLM_ReadTabletPackets(), 1);
        EXPECT_EQ(VLM_SetTabletOrigin(), 0);
        EXPECT_EQ(VLM_ReadTabletX(0), -42);
        EXPECT_EQ(VLM_ReadTabletY(0), -27);
    }
}

TEST_F(TabletTest, BatchesHoldAtMost256AndAResetDiscardsUpTo1000) {
    Events events;
    for (int i = 1; i <= 1300; ++i) pen_frame(events, 0, 0, i);
    ASSERT_EQ(open(events, 0, 2000), 1);
    ASSERT_EQ(VLM_ReadTabletPackets(), 256);
    EXPECT_EQ(g_engine.pen.packets[0].pressure, 1u);
    EXPECT_EQ(g_engine.pen.packets[255].pressure, 256u);
    VLM_ResetTabletPressure();
    ASSERT_EQ(VLM_ReadTabletPackets(), 44);
    EXPECT_EQ(g_engine.pen.packets[0].pressure, 1257u);
    EXPECT_EQ(g_engine.pen.packets[43].pressure, 1300u);
    EXPECT_EQ(VLM_ReadTabletPackets(), 0);
    EXPECT_EQ(VLM_ReadTabletPressure(0), 10); // the reset's pressure, and no packet answers
}

TEST_F(TabletTest, ReadsAFifoWithoutBlockingAndJoinsPartRecords) {
    const std::string fifo = dir_ + "/pen";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(VLM_SetTabletDevice(fifo.c_str()), 1);
    VLM_SetTabletAxes(0, 2047, 0, 1535, 0, 1023);
    ASSERT_EQ(VLM_InitTablet(nullptr), 1);
    EXPECT_EQ(VLM_ReadTabletPackets(), 0);

    Events events;
    pen_frame(events, 0, 0, 1023);
    pen_frame(events, 0, 0, 512);
    const auto* bytes = reinterpret_cast<const char*>(events.data());
    const std::size_t total = events.size() * sizeof(input_event);
    const std::size_t cut = sizeof(input_event) * 3 + 7; // inside the first frame's report
    ASSERT_EQ(write(writer, bytes, cut), static_cast<ssize_t>(cut));
    EXPECT_EQ(VLM_ReadTabletPackets(), 0);
    ASSERT_EQ(write(writer, bytes + cut, total - cut), static_cast<ssize_t>(total - cut));
    ASSERT_EQ(VLM_ReadTabletPackets(), 2);
    EXPECT_EQ(VLM_ReadTabletPressure(0), 100);
    EXPECT_EQ(VLM_ReadTabletPressure(1), 50);
    EXPECT_EQ(VLM_ReadTabletPackets(), 0);
    close(writer);
}

TEST_F(TabletTest, CloseTwiceClosesOnceAndInitReplacesAnOpenTablet) {
    Events events;
    pen_frame(events, 0, 0, 512);
    ASSERT_EQ(open(events), 1);
    const int first = g_engine.pen.stream.fd;

    // A failed open keeps the tablet that is open.
    ASSERT_EQ(VLM_SetTabletDevice((dir_ + "/missing").c_str()), 1);
    EXPECT_EQ(VLM_InitTablet(nullptr), 0);
    EXPECT_EQ(g_engine.pen.stream.fd, first);
    ASSERT_EQ(VLM_ReadTabletPackets(), 1);

    // A successful one closes it.
    ASSERT_EQ(open(events), 1);
    EXPECT_NE(g_engine.pen.stream.fd, first);
    EXPECT_EQ(fcntl(first, F_GETFD), -1);
    ASSERT_EQ(VLM_ReadTabletPackets(), 1);
    EXPECT_EQ(VLM_ReadTabletPressure(0), 50);

    VLM_CloseTablet();
    const int other = ::open("/dev/null", O_RDONLY); // likely takes the number just freed
    VLM_CloseTablet();
    EXPECT_NE(fcntl(other, F_GETFD), -1) << "the second close closed a descriptor it did not own";
    close(other);
    expect_no_tablet_answers();
    EXPECT_EQ(VLM_ReadTabletPressure(0), 50); // the last pressure, which no longer ramps
    EXPECT_EQ(VLM_ReadTabletPressure(0), 50);
}

} // namespace
} // namespace vlm::pen
