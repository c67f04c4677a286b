// The window's logic against a recording view: what every front end is
// asked to draw, speak and report, and when.

#include "fatal_error.h"
#include "texts.h"
#include "window_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace regulator::testing {
namespace {

namespace texts = design::texts;

class RecordingView final : public WindowView {
public:
    std::string text2[3];
    ScaleState shown;
    int option = -1;
    bool timer = false;
    std::vector<GaugeBox> boxes;
    int clears = 0;
    std::string readout;
    std::string description;
    std::vector<std::string> spoken;
    std::vector<int> reports;
    std::vector<std::string> failures;
    bool throwOnWrite = false;
    bool observationShown = false;
    int pictures = 0;
    ObservationPicture picture;
    std::string clipboard;

    std::string Text2(int index) const override { return text2[index]; }
    void SetText2(int index, const std::string& text) override {
        if (throwOnWrite) throw std::runtime_error("box gone");
        text2[index] = text;
    }
    void ShowVScroll1(const ScaleState& scale) override { shown = scale; }
    void ReportVScroll1Value(std::int16_t temperature) override { reports.push_back(temperature); }
    void ShowOption1(int index) override { option = index; }
    void SetTimer1Enabled(bool enabled) override { timer = enabled; }
    double Picture1WidthTwips() const override { return 1455.5; }
    double Picture1HeightTwips() const override { return 2655; }
    void Picture1Cls() override {
        ++clears;
        boxes.clear();
    }
    void Picture1FillBox(const GaugeBox& box) override { boxes.push_back(box); }
    void ShowReadout(const std::string& caption, std::int16_t) override { readout = caption; }
    void DescribeGauge(const std::string& text) override { description = text; }
    void Announce(Message, const std::string& text) override { spoken.push_back(text); }
    void ShowFatalError(const std::string& text) override { failures.push_back(text); }
    void ShowObservationView(bool shown) override { observationShown = shown; }
    void ShowObservation(const ObservationPicture& drawn) override {
        ++pictures;
        picture = drawn;
    }
    void PutOnClipboard(const std::string& text) override { clipboard = text; }
};

struct Window {
    Window() : logic(view, NumberFormat{}) { logic.Form_Load(); }
    void Ticks(int count) {
        for (int i = 0; i < count; ++i) logic.Timer1_Timer();
    }
    RecordingView view;
    WindowLogic logic;
};

TEST(WindowLogic, LoadShowsTheDesignedStateAndSpeaksNothing) {
    Window w;
    EXPECT_EQ(w.view.shown, (ScaleState{0, 100, 100}));
    EXPECT_EQ(w.view.text2[0], "81");
    EXPECT_EQ(w.view.text2[1], "100");
    EXPECT_EQ(w.view.text2[2], "90");
    EXPECT_EQ(w.view.option, kOffOption);
    EXPECT_EQ(w.view.readout, std::string(texts::kReadoutPrefix) + "0");
    EXPECT_EQ(w.view.description, std::string(texts::kSystemState) + " " + texts::kOff);
    EXPECT_EQ(w.view.clears, 1);
    EXPECT_TRUE(w.view.spoken.empty());
    EXPECT_TRUE(w.view.reports.empty());
}

TEST(WindowLogic, SpeaksStartStopAndEverySwitchButNoStep) {
    Window w;
    w.logic.Command1_Click(0);
    EXPECT_TRUE(w.view.timer);
    w.Ticks(90 + 9 + 1);  // heats to 90, cools to 81, switches on again
    w.logic.Command1_Click(1);
    EXPECT_FALSE(w.view.timer);
    EXPECT_EQ(w.view.spoken, (std::vector<std::string>{texts::kRunStarted, texts::kOn, texts::kOff, texts::kOn,
                                                       texts::kOff, texts::kRunStopped}));
    EXPECT_EQ(w.view.description, std::string(texts::kSystemState) + " " + texts::kOff);
}

TEST(WindowLogic, ReportsTheValueAtMostOnceASecondWhileRunningAndAtOnceOtherwise) {
    Window w;
    w.logic.Command1_Click(0);
    w.Ticks(35);
    EXPECT_EQ(w.view.reports, (std::vector<int>{10, 20, 30}));
    w.logic.VScroll1_UserChange(50);  // the user's own move: at once
    EXPECT_EQ(w.view.reports.back(), 50);
    w.Ticks(3);
    w.logic.Command1_Click(1);  // three steps not reported yet
    EXPECT_EQ(w.view.reports, (std::vector<int>{10, 20, 30, 50, 53}));
    w.logic.Command1_Click(1);  // nothing new to report
    EXPECT_EQ(w.view.reports.size(), 5u);
}

TEST(WindowLogic, AUserMoveRedrawsTheGaugeOnlyWhenThePositionChanges) {
    Window w;
    w.logic.VScroll1_UserChange(19);
    EXPECT_EQ(w.view.shown.value, 19);
    EXPECT_EQ(w.view.readout, std::string(texts::kReadoutPrefix) + "81");
    ASSERT_EQ(w.view.boxes.size(), 2u);
    EXPECT_EQ(w.view.boxes[0], (GaugeBox{{0, 2655}, {1455, 0.19 * 2655}, design::kGaugeRed}));
    const int clears = w.view.clears;
    w.logic.VScroll1_UserChange(19);
    EXPECT_EQ(w.view.clears, clears);
    EXPECT_EQ(w.view.reports, (std::vector<int>{81}));
}

TEST(WindowLogic, AFailureIsShownOnceAndStopsEverything) {
    struct Case {
        const char* name;
        void (*act)(Window&);
        std::string description;
    };
    const Case cases[] = {
        {"position below the scale", [](Window& w) { w.logic.VScroll1_UserChange(-1); }, texts::kInvalidPropertyValue},
        {"position beyond 16 bits", [](Window& w) { w.logic.VScroll1_UserChange(70000); },
         std::string(texts::kInvalidPropertyValue) + " (Value = 70000)"},
        {"the view fails in a tick",
         [](Window& w) {
             w.view.throwOnWrite = true;
             w.logic.Timer1_Timer();
         },
         std::string(texts::kUnexpectedError) + " (box gone)"},
        {"the front end's own code", [](Window& w) { w.logic.Fail("x"); }, "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window w;
        w.logic.Command1_Click(0);
        c.act(w);
        ASSERT_EQ(w.view.failures.size(), 1u);
        EXPECT_EQ(w.view.failures[0].rfind(c.description, 0), 0u) << w.view.failures[0];
        EXPECT_FALSE(w.view.timer);
        EXPECT_TRUE(w.logic.HasFailed());
        w.view.throwOnWrite = false;
        w.logic.Command1_Click(0);
        w.logic.Timer1_Timer();
        w.logic.Fail("again");
        EXPECT_FALSE(w.view.timer);
        EXPECT_EQ(w.view.failures.size(), 1u);
    }
}

TEST(WindowLogic, TheObservationViewOpensClosesAndFollowsTheRunWhileOpen) {
    Window w;
    w.logic.Command1_Click(0);
    w.Ticks(5);
    EXPECT_EQ(w.view.pictures, 0);  // closed at start: nothing drawn for it
    w.logic.Observation_Toggle();
    EXPECT_TRUE(w.view.observationShown);
    EXPECT_EQ(w.view.pictures, 1);
    w.Ticks(3);
    w.logic.VScroll1_UserChange(50);
    EXPECT_EQ(w.view.pictures, 5);
    EXPECT_EQ(w.view.picture.figures[0], "Превключвания: 1");
    w.logic.Observation_Toggle();
    EXPECT_FALSE(w.view.observationShown);
    w.Ticks(3);
    EXPECT_EQ(w.view.pictures, 5);
    w.logic.Observation_Toggle();
    EXPECT_TRUE(w.view.observationShown);
    w.logic.Observation_Closed();  // by its own close box: the logic hides it
    EXPECT_FALSE(w.view.observationShown);
    w.Ticks(1);
    EXPECT_EQ(w.view.pictures, 6);
    w.logic.Observation_Toggle();
    EXPECT_TRUE(w.view.observationShown);

    w.logic.CopyBands_Click();
    EXPECT_EQ(w.view.clipboard, "Долен праг\tГорен праг\tШирина\tПревключвания в минута\tПо правилото\n");
}

TEST(WindowLogic, TextTypedFromOutsideIsLimitedLikeTypingAndValidatedAtTheNextTick) {
    struct Case {
        const char* typed;
        const char* inBox;      // as typed: two characters at most
        const char* afterTick;  // the lower box after the first tick's validation
    };
    const Case cases[] = {
        {"70", "70", "70"},
        {"", "", "0"},
        {"7000000000000000000000", "70", "70"},
        {"-5", "-5", "0"},
        {"<script>alert(1)</script>", "<s", "0"},
        {"NaN", "Na", "0"},
        {"1e9", "1e", "1"},
        {"٧٠", "٧٠", "0"},                                      // other scripts' digits are not numbers here
        {"\xd0\x94\xd0\xb0\xd0\xb1", "\xd0\x94\xd0\xb0", "0"},  // "Даб": characters, not bytes
        {"13.2", "13", "13"},
    };
    for (const Case& c : cases) {
        Window w;
        w.logic.TypeIntoBox(kLowerBox, c.typed);
        EXPECT_EQ(w.view.text2[kLowerBox], c.inBox) << c.typed;
        w.logic.Command1_Click(0);
        w.logic.Timer1_Timer();
        EXPECT_EQ(w.view.text2[kLowerBox], c.afterTick) << c.typed;
        EXPECT_EQ(w.view.text2[kUpperBox], "90") << c.typed;
        EXPECT_FALSE(w.logic.HasFailed()) << c.typed;
    }
    Window w;
    w.logic.TypeIntoBox(kBaseMaximumBox, "5");  // locked: not typed into
    EXPECT_EQ(w.view.text2[kBaseMaximumBox], "100");
}

TEST(ObservationPicture, ShowsTheSteadyCycleBetweenTheThresholdsAndItsFigures) {
    Window w;
    w.logic.Observation_Toggle();
    w.logic.Command1_Click(0);
    w.Ticks(90 + 18 * 10);  // heat to 90, then ten whole cycles of 18 ticks
    const ObservationPicture& p = w.view.picture;
    // A drawing for each picture box of the view's table, in its order.
    std::vector<std::string> boxes;
    for (const design::WidgetSpec& spec : design::ObservationTable()) {
        if (spec.kind == design::WidgetKind::PictureBox) boxes.emplace_back(spec.name);
    }
    ASSERT_EQ(p.plots.size(), boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) EXPECT_EQ(p.plots[i].name, boxes[i]);
    const Plot& trace = p.plots[0];
    const Plot& loop = p.plots[1];
    EXPECT_STREQ(trace.name, "Trace");
    EXPECT_STREQ(loop.name, "Loop");
    ASSERT_EQ(p.figures.size(), 3u);
    EXPECT_EQ(p.figures[0], "Превключвания: 21");
    EXPECT_EQ(p.figures[1], "Превключвания в минута: 66.7");
    EXPECT_EQ(p.figures[2], "Средно време между превключванията: 0.9 с");
    ASSERT_EQ(p.rows.size(), 1u);
    EXPECT_EQ(p.rows[0], (std::array<std::string, 5>{"81", "90", "9", "66.7", "66.7"}));

    // The trace: the last 60 s of the 27 s run, every segment since the
    // first switching between the dashed threshold lines, red while heating.
    std::vector<double> thresholds;
    int red = 0, blue = 0;
    for (const PlotLine& line : trace.lines) {
        if (line.dashed) thresholds.push_back(line.y1);
        if (line.colour == design::kGaugeRed) ++red;
        if (line.colour == design::kGaugeBlue) ++blue;
    }
    ASSERT_EQ(thresholds.size(), 2u);
    const double top = std::min(thresholds[0], thresholds[1]), bottom = std::max(thresholds[0], thresholds[1]);
    int inside = 0;
    for (const PlotLine& line : trace.lines) {
        if (line.colour != design::kGaugeRed && line.colour != design::kGaugeBlue) continue;
        if (line.y1 >= top - 1e-9 && line.y2 >= top - 1e-9 && line.y1 <= bottom + 1e-9 && line.y2 <= bottom + 1e-9) {
            ++inside;
        }
    }
    EXPECT_EQ(inside, 9 + 18 * 10);  // the climb from 0 reaches the band at tick 81
    EXPECT_EQ(red, 89 + 9 * 10);
    EXPECT_EQ(blue, 9 * 10);
    EXPECT_EQ(trace.description,
              "През последните 27 с температурата е между 1 и 90; долният праг е 81, горният 90; превключва 46.7 "
              "пъти в минута.");

    // The loop: two cycles, switching off at 90 and on at 81.
    std::vector<double> verticals;
    for (const PlotLine& line : loop.lines) {
        if (!line.dashed && line.x1 == line.x2 && line.y1 != line.y2 && line.colour != design::Rgb{0, 0, 0}) {
            verticals.push_back(line.x1);
        }
    }
    const double plotLeft = 44, plotRight = loop.width - 12;
    const auto x = [&](double t) { return plotLeft + t / 100 * (plotRight - plotLeft); };
    ASSERT_EQ(verticals.size(), 4u);
    for (double v : verticals) EXPECT_TRUE(std::abs(v - x(90)) < 1e-9 || std::abs(v - x(81)) < 1e-9) << v;
    ASSERT_EQ(loop.markers.size(), 1u);
    EXPECT_EQ(loop.description,
              "Нагревателят се включва при 81 и се изключва при 90. Сега температурата е 90 и нагревателят е "
              "включен.");
}

TEST(Gauge, SplitsAtTheRatioWithTheWidthRoundedDown) {
    struct Case {
        double ratio;
        double level;
    };
    for (const Case& c : {Case{0.19, 0.19 * 2655}, Case{0, 0}, Case{1, 2655}}) {
        const GaugeDrawing d = SplitGauge(c.ratio, 1455.9, 2655);
        EXPECT_EQ(d.red, (GaugeBox{{0, 2655}, {1455, c.level}, design::kGaugeRed})) << c.ratio;
        EXPECT_EQ(d.blue, (GaugeBox{{0, c.level}, {1455, 0}, design::kGaugeBlue})) << c.ratio;
    }
    EXPECT_EQ(ReadoutText(81), "Моментна стойност: 81");
}

TEST(ScrollTarget, MovesByTheDesignsStepsWithinTheScale) {
    struct Case {
        std::int16_t value;
        ScrollRequest request;
        int position;
        int expected;
    };
    const Case cases[] = {
        {50, ScrollRequest::LineUp, 0, 49},  {50, ScrollRequest::LineDown, 0, 51},
        {50, ScrollRequest::PageUp, 0, 49},  {50, ScrollRequest::PageDown, 0, 51},
        {0, ScrollRequest::LineUp, 0, 0},    {100, ScrollRequest::PageDown, 0, 100},
        {50, ScrollRequest::Top, 0, 0},      {50, ScrollRequest::Bottom, 0, 100},
        {50, ScrollRequest::Position, 7, 7}, {50, ScrollRequest::Position, 400, 100},
    };
    for (int temperature : {0, 19, 81, 100}) {
        EXPECT_EQ(Temperature(100, static_cast<std::int16_t>(PositionForTemperature(100, temperature))), temperature);
    }
    for (const Case& c : cases) {
        EXPECT_EQ(ScrollTarget({0, 100, c.value}, c.request, c.position), c.expected)
            << c.value << " request " << static_cast<int>(c.request);
    }
}

}  // namespace
}  // namespace regulator::testing
