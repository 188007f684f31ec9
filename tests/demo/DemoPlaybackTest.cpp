#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeDemoPlatform.h"
#include "demo/WKDemoLanguage.h"
#include "demo/WKDemoPlayback.h"
#include "documents/WKScriptRecorder.h"

namespace {

struct TError {
  std::string Message;
  std::string Line;
};

class DemoPlaybackTest : public ::testing::Test {
 protected:
  DemoPlaybackTest() : Playback(Platform, Language) {
    Playback.OnError = [this](TWKDemoPlayback&, const std::string& message, bool& stop, const std::string& line) {
      Errors.push_back({message, line});
      stop = StopOnError;
    };
    Playback.OnFinish = [this](TWKDemoPlayback&) { ++Finished; };
    Playback.OnGetPoint = [this](TWKDemoPlayback&, const TWKDemoScriptParams& params, bool& found, TPoint& point) {
      found = params.Text(0) == "Button";
      if (found) point = ButtonAt;
    };
    Playback.OnCommand = [this](TWKDemoPlayback&, const std::string& name, bool& handled,
                                TWKDemoScriptUserAction& action, const TWKDemoScriptParams& params) {
      Commands.push_back(name + ":" + params.Text(0));
      handled = name.starts_with("KNOWN");
      if (name == "KNOWNWITHBALLOON") {
        TWKDemoScriptParams text;
        text.AddString("Inside");
        action.Add(CreateAction(Playback, "MESSAGE", &text));
      }
      if (name == "KNOWNTHROWS") throw std::runtime_error("broken handler");
    };
  }

  // Stops what plays, starts again on a fresh desktop.
  bool Replay(const std::string& scriptLines) {
    Playback.RequestStop();
    Platform = TFakeDemoPlatform();
    return Play(scriptLines);
  }

  // Loads the lines and plays from the first.
  bool Play(const std::string& scriptLines) {
    TWKDemoScript script;
    script.LoadFromText("[Script]\n" + scriptLines);
    Playback.LoadScript(script);
    return Playback.Play(0);
  }

  TProgramLanguages Texts;
  TFakeDemoPlatform Platform;
  TWKDemoLanguage Language;
  TWKDemoPlayback Playback;
  std::vector<TError> Errors;
  std::vector<std::string> Commands;
  bool StopOnError = true;
  int Finished = 0;
  TPoint ButtonAt{700, 500};
};

}  // namespace

TEST_F(DemoPlaybackTest, StraightMovesEaseAlongTheLineByTheClock) {
  ASSERT_TRUE(Play("MouseTo 0, 0\nMouseMove 300, 400\n"));
  Platform.Tick();  // MouseTo
  Platform.Tick();  // the move begins: 500 pixels at speed 5 take 2000 ms
  const int64_t start = Platform.Clock;
  const auto* move = dynamic_cast<const TWKDemoScriptMouseMoveAction*>(Playback.CurrentAction());
  ASSERT_NE(move, nullptr);
  EXPECT_EQ(move->Duration(), 2000);
  const struct {
    int64_t At;
    TPoint Expected;
  } path[] = {
      {500, {38, 50}},     // e = 0.125: 37.5 rounds to even 38
      {1000, {150, 200}},  // half-way
      {1500, {262, 350}},  // e = 0.875: 262.5 rounds to even 262
      {2000, {300, 400}},
  };
  for (const auto& p : path) {
    Platform.Clock = start + p.At - 10;
    Platform.Tick();
    EXPECT_EQ(Platform.Pointer, p.Expected) << p.At;
  }
  EXPECT_EQ(Playback.CurrentAction(), nullptr);  // finished at t = 1

  ASSERT_TRUE(Platform.RunFor(100));
  EXPECT_EQ(Finished, 1);
  EXPECT_EQ(Playback.State(), TWKDemoState::Idle);
}

TEST_F(DemoPlaybackTest, CurvedMovesBowAndLevelMovesStayStraight) {
  const struct {
    const char* Script;
    int64_t At;  // ms into the move
    TPoint Expected;
  } cases[] = {
      {"MouseTo 0, 0\nMouseCurvedMove 200, 100\n", 447, {115, 80}},  // e = 0.5 of 894 ms
      {"MouseTo 0, 0\nMouseCurvedMove 300, 400\n", 1000, {230, 260}},
      {"MouseTo 0, 0\nMouseCurvedMove 300, 400\n", 500, {68, 73}},
      {"MouseTo 0, 0\nMouseCurvedMove 300, 0\n", 600, {150, 0}},  // dy = 0: straight
      {"MouseTo 0, 0\nMouseMove 100, 200\n", 447, {50, 100}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Replay(c.Script));
    Platform.Tick();
    Platform.Tick();
    Platform.Clock += c.At - 10;
    Platform.Tick();
    EXPECT_EQ(Platform.Pointer, c.Expected) << c.Script << " at " << c.At;
  }
}

TEST_F(DemoPlaybackTest, PausedTimeDoesNotCountAndSlowTicksDoNotSlowTheMove) {
  ASSERT_TRUE(Play("MouseTo 0, 0\nMouseMove 300, 400\n"));
  Platform.Tick();
  Platform.Tick();
  const int64_t start = Platform.Clock;
  Platform.Clock = start + 490;
  Platform.Tick();  // 500 ms in
  Platform.Watcher->ApplicationDeactivated();
  EXPECT_EQ(Playback.State(), TWKDemoState::Paused);
  Platform.RunFor(5000);  // paused: the thread keeps ticking, nothing moves
  EXPECT_EQ(Platform.Pointer, (TPoint{38, 50}));
  Platform.Watcher->ApplicationActivated();
  EXPECT_EQ(Playback.State(), TWKDemoState::Playing);
  Platform.Clock += 490;
  Platform.Tick();  // 500 ms of playing later: half-way
  EXPECT_EQ(Platform.Pointer, (TPoint{150, 200}));
}

TEST_F(DemoPlaybackTest, PausesWaitTheirTimeAndHoldThePointer) {
  const struct {
    const char* Script;
    int64_t MovedAt;  // when the following MouseTo ran, from the first tick
  } cases[] = {{"Pause\nMouseTo 5, 5\n", 1010}, {"Pause 0.25\nMouseTo 5, 5\n", 260}, {"Pause 0\nMouseTo 5, 5\n", 10}};
  for (const auto& c : cases) {
    ASSERT_TRUE(Replay(c.Script));
    const int64_t first = Platform.Clock + 10;
    Platform.Tick();
    Platform.Tick();
    Platform.Pointer = {1, 1};  // the user moves the mouse
    Platform.Tick();
    if (c.MovedAt > 30) {
      EXPECT_EQ(Platform.Pointer, (TPoint{400, 300})) << c.Script;
    }
    Platform.RunFor(2000);
    EXPECT_EQ(Platform.TimeAt({5, 5}) - first, c.MovedAt) << c.Script;
  }
}

TEST_F(DemoPlaybackTest, MessagesShowABalloonAtThePointerWithHintsAndPointerHidden) {
  TDemoTestLanguages languages(1033);
  TWKDemoScript script;
  script.LoadFromText("[Script]\nMouseTo 640, 480\nMessage %Intro, 0.5, 2\nMessage \"\"\nMessage\n"
                      "Message 42, 0.1\nMessage &392, 0.1, 9\n[1033]\nIntro=Click the eye\n");
  Playback.LoadScript(script);
  ASSERT_TRUE(Playback.Play(0));
  Platform.Tick();
  Platform.Tick();
  ASSERT_EQ(Platform.Shown.size(), 1u);
  EXPECT_EQ(Platform.Shown[0].At, (TPoint{640, 480}));
  EXPECT_EQ(Platform.Shown[0].Style, 2);
  EXPECT_EQ(Platform.Shown[0].Text, "Click the eye");
  EXPECT_FALSE(Platform.PointerVisible);
  EXPECT_FALSE(Platform.HintsEnabled);
  EXPECT_TRUE(Platform.BalloonVisible);

  Playback.Pause();  // hidden while paused, back on resume
  EXPECT_FALSE(Platform.BalloonVisible);
  EXPECT_TRUE(Platform.PointerVisible);
  EXPECT_TRUE(Platform.HintsEnabled);
  Playback.Resume();
  EXPECT_TRUE(Platform.BalloonVisible);
  EXPECT_FALSE(Platform.PointerVisible);
  ASSERT_EQ(Platform.Shown.size(), 2u);  // shown again where it was
  EXPECT_EQ(Platform.Shown[1].At, Platform.Shown[0].At);

  Platform.RunFor(490);
  EXPECT_EQ(Platform.BalloonsAlive, 1);
  Platform.RunFor(10);  // 0.5 s
  EXPECT_EQ(Platform.BalloonsAlive, 0);
  EXPECT_TRUE(Platform.PointerVisible);
  EXPECT_TRUE(Platform.HintsEnabled);
  Platform.RunFor(20);  // the two empty texts end at once, one tick each
  EXPECT_EQ(Platform.Shown.size(), 2u);
  Platform.RunFor(10);
  EXPECT_EQ(Platform.Shown.size(), 3u);
  Platform.RunFor(1000);
  ASSERT_EQ(Platform.Shown.size(), 4u);
  EXPECT_EQ(Platform.Shown[2].Text, "42");
  EXPECT_EQ(Platform.Shown[3].Text, "Hold it");
  EXPECT_EQ(Platform.Shown[3].Style, 0);  // 9 is no style: chosen by the place
  EXPECT_EQ(Finished, 1);
  EXPECT_TRUE(Errors.empty());
}

// A recorded message line shows its whole text again, whatever quotes and line breaks it holds.
TEST_F(DemoPlaybackTest, RecordedMessagesPlayBackTheirWholeText) {
  const struct {
    std::string Text, Shown;
  } cases[] = {
      {"Click", "Click"},
      {"Say \"cheese\" now", "Say \"cheese\" now"},
      {"It's \"done\"", "It's \"done\""},
      {"\"\"", "\"\""},
      {"'single'", "'single'"},
      {"two\nlines", "two\nlines"},
      {"windows\r\nbreak", "windows\nbreak"},
      {"a, b", "a, b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    ASSERT_TRUE(Replay(MessageLine(c.Text) + ", 0.1\n"));
    Platform.RunFor(200);
    ASSERT_EQ(Platform.Shown.size(), 1u) << MessageLine(c.Text);
    EXPECT_EQ(Platform.Shown[0].Text, c.Shown) << MessageLine(c.Text);
  }
  EXPECT_TRUE(Errors.empty());
}

TEST_F(DemoPlaybackTest, ButtonsFollowTheSwapSettingAndClicksGoToTheTarget) {
  const struct {
    bool Swapped;
    const char* Script;
    std::vector<std::string> Expected;
  } cases[] = {
      {false, "MouseClick Button\n", {"L down 700,500", "L up 700,500"}},
      {true, "MouseClick Button\n", {"R down 700,500", "R up 700,500"}},
      {true, "MouseRightClick 10, 20\n", {"L down 10,20", "L up 10,20"}},
      {false, "MouseDblClick 10, 20\n", {"L down 10,20", "L up 10,20", "L down 10,20", "L up 10,20"}},
      {false, "MouseTo 1, 1\nMouseDrag 9, 9\n", {"L down 1,1", "L up 9,9"}},
      {false, "MouseRightDown\nMouseRightUp\nMouseLeftDown\nMouseLeftUp\n",
       {"R down 400,300", "R up 400,300", "L down 400,300", "L up 400,300"}},
  };
  for (const auto& c : cases) {
    Platform = TFakeDemoPlatform();
    Platform.Swapped = c.Swapped;
    ASSERT_TRUE(Play(c.Script)) << c.Script;
    EXPECT_TRUE(Platform.RunFor(10000)) << c.Script;
    EXPECT_EQ(Platform.Buttons, c.Expected) << c.Script;
  }
}

TEST_F(DemoPlaybackTest, HeldButtonsAreReleasedOnFinishStopErrorAndExit) {
  // A script that ends with both buttons down.
  ASSERT_TRUE(Play("MouseDown\nMouseRightDown\n"));
  Platform.RunFor(1000);
  EXPECT_EQ(Finished, 1);
  EXPECT_EQ(Platform.Buttons, (std::vector<std::string>{"L down 400,300", "R down 400,300", "L up 400,300",
                                                        "R up 400,300"}));

  // Stopped by a key with the left button down: released at the playback's point.
  Platform.Buttons.clear();
  ASSERT_TRUE(Play("MouseTo 20, 30\nMouseDown\nPause 5\n"));
  Platform.RunFor(100);
  Platform.Pointer = {0, 0};
  EXPECT_TRUE(Platform.Watcher->KeyMessage(0x1B, true));
  EXPECT_EQ(Playback.State(), TWKDemoState::Stopped);
  EXPECT_EQ(Platform.Buttons.back(), "L up 20,30");
  EXPECT_FALSE(Playback.LeftButtonDown());
  EXPECT_TRUE(Platform.RunFor(100));
  EXPECT_EQ(Platform.Watcher, nullptr);

  // An error stop.
  Platform.Buttons.clear();
  ASSERT_TRUE(Play("MouseRightDown\nNoSuchCommand\n"));
  Platform.RunFor(100);
  EXPECT_EQ(Platform.Buttons, (std::vector<std::string>{"R down 20,30", "R up 20,30"}));

  // The playback goes away while it holds a button.
  {
    TWKDemoLanguage language;
    auto playback = std::make_unique<TWKDemoPlayback>(Platform, language);
    TWKDemoScript script;
    script.LoadFromText("[Script]\nMouseDown\nPause 10\n");
    playback->LoadScript(script);
    ASSERT_TRUE(playback->Play(0));
    Platform.Tick();
    Platform.Buttons.clear();
    playback.reset();
  }
  EXPECT_EQ(Platform.Buttons, std::vector<std::string>{"L up 20,30"});
  EXPECT_EQ(Platform.Watcher, nullptr);
}

TEST_F(DemoPlaybackTest, StopKeysAskAndNoResumesWhereItWas) {
  bool answer = false;
  int asked = 0;
  Playback.OnStopQuery = [&](TWKDemoPlayback& p, bool& stop) {
    ++asked;
    EXPECT_EQ(p.State(), TWKDemoState::Paused);
    // While the question is open, keys go to it, not to the playback.
    EXPECT_FALSE(Platform.Watcher->KeyMessage(0x20, true));
    stop = answer;
  };
  ASSERT_TRUE(Play("MouseTo 0, 0\nMouseMove 300, 400\n"));
  Platform.Tick();
  Platform.Tick();
  Platform.RunFor(500);
  const TPoint before = Platform.Pointer;
  EXPECT_TRUE(Platform.Watcher->KeyMessage(0x20, true));  // Space
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Playback.State(), TWKDemoState::Playing);
  EXPECT_EQ(Playback.PauseDepth(), 0);
  Platform.Tick();
  EXPECT_NEAR(Platform.Pointer.X, before.X, 10);  // it goes on from where it was

  // Key-ups of stop keys are swallowed too; other keys pass.
  EXPECT_TRUE(Platform.Watcher->KeyMessage(0x20, false));
  for (int vk : {0x08, 0x21, 0x22, 0x5D, 0xBA}) EXPECT_FALSE(Platform.Watcher->KeyMessage(vk, true)) << vk;
  EXPECT_EQ(asked, 1);
  for (int vk : {0x09, 0x0D, 0x10, 0x1B, 0x25, 0x2E, 0x30, 0x41, 0x5B, 0x60, 0x70, 0x87, 0x90, 0x91})
    EXPECT_TRUE(IsDemoStopKey(vk)) << vk;

  answer = true;
  EXPECT_TRUE(Playback.RequestStop());
  EXPECT_EQ(Playback.State(), TWKDemoState::Stopped);
  EXPECT_FALSE(Playback.RequestStop());  // only while playing
  EXPECT_TRUE(Platform.RunFor(100));
  EXPECT_EQ(Finished, 0);
  // A stopped playback plays again.
  EXPECT_TRUE(Play("MouseTo 1, 2\n"));
  Platform.RunFor(100);
  EXPECT_EQ(Finished, 1);
}

TEST_F(DemoPlaybackTest, PauseDepthNestsAndNeverGoesBelowZero) {
  ASSERT_TRUE(Play("Pause 100\n"));
  Platform.Tick();
  Platform.Watcher->ApplicationActivated();  // an activation without a deactivation first
  EXPECT_EQ(Playback.PauseDepth(), 0);
  Platform.Watcher->ApplicationDeactivated();
  Platform.Watcher->ApplicationMinimized();
  EXPECT_EQ(Playback.PauseDepth(), 2);
  Platform.Watcher->ApplicationRestored();
  EXPECT_EQ(Playback.State(), TWKDemoState::Paused);
  Platform.Watcher->ApplicationActivated();
  EXPECT_EQ(Playback.State(), TWKDemoState::Playing);
  Platform.Watcher->ApplicationActivated();
  EXPECT_EQ(Playback.PauseDepth(), 0);
  Platform.Watcher->ApplicationDeactivated();
  EXPECT_EQ(Playback.State(), TWKDemoState::Paused);  // one deactivation pauses again
  Platform.Watcher->ApplicationActivated();
  EXPECT_EQ(Playback.State(), TWKDemoState::Playing);
}

TEST_F(DemoPlaybackTest, MacrosForwardSuspendAndResume) {
  ASSERT_TRUE(Play("KnownWithBalloon\n"));
  Platform.Tick();
  EXPECT_TRUE(Platform.BalloonVisible);
  Playback.Pause();
  EXPECT_FALSE(Platform.BalloonVisible);
  EXPECT_TRUE(Platform.PointerVisible);
  Playback.Resume();
  EXPECT_TRUE(Platform.BalloonVisible);
  EXPECT_TRUE(Platform.RunFor(5000));
  EXPECT_EQ(Commands, std::vector<std::string>{"KNOWNWITHBALLOON:"});
  EXPECT_EQ(Finished, 1);
}

TEST_F(DemoPlaybackTest, PlayAnswersFalseWhenItDoesNotStart) {
  Playback.OnBeforePlay = [](TWKDemoPlayback&, bool& cancel) { cancel = true; };
  EXPECT_FALSE(Play("Pause\n"));
  EXPECT_EQ(Playback.State(), TWKDemoState::Idle);
  EXPECT_FALSE(static_cast<bool>(Platform.Pacer));
  Playback.OnBeforePlay = nullptr;

  Platform.NoControlReason = "Wayland";
  EXPECT_FALSE(Play("Pause\n"));
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_NE(Errors[0].Message.find("Wayland"), std::string::npos);
  Platform.NoControlReason.clear();

  ASSERT_TRUE(Play("Pause\n"));
  EXPECT_FALSE(Play("Pause\n"));  // already playing
  Playback.Pause();
  EXPECT_FALSE(Play("Pause\n"));
}

TEST_F(DemoPlaybackTest, ErrorsNameTheLineAndStopOrGoOn) {
  const struct {
    const char* Script;
    bool Stop;
    std::vector<std::string> Messages;
    bool ReachesEnd;
  } cases[] = {
      {"Frobnicate 1\nMouseTo 9, 9\n", true, {"Unknown command: \"FROBNICATE\""}, false},
      {"Frobnicate 1\nMouseTo 9, 9\n", false, {"Unknown command: \"FROBNICATE\""}, true},
      {"MouseMove Nowhere\nMouseTo 9, 9\n", false, {"Invalid arguments."}, true},
      {"Pause 1.2.3\nMouseTo 9, 9\n", false, {"The number \"1.2.3\" cannot be read."}, true},
      {"#FOR 0 Size 1 x\nMouseTo 9, 9\n", false, {"The number \"x\" cannot be read."}, true},
      {"#DOFOR 1 2\nSize #for\nMouseTo 9, 9\n",
       false,
       {"The directive #DOFOR has no closing #OD line.", "Unknown command: \"SIZE\""},
       true},
      {"#FOR 0 N 1 1000000\nMouseTo 9, 9\n", true, {"The directive #FOR produces too many lines."}, false},
      {"KnownThrows\nMouseTo 9, 9\n", false, {"The demonstration stopped: broken handler"}, false},
  };
  for (const auto& c : cases) {
    Errors.clear();
    Platform = TFakeDemoPlatform();
    StopOnError = c.Stop;
    ASSERT_TRUE(Play(c.Script)) << c.Script;
    EXPECT_TRUE(Platform.RunFor(10000)) << c.Script;  // the pacing always ends
    std::vector<std::string> messages;
    for (const TError& e : Errors) messages.push_back(e.Message);
    EXPECT_EQ(messages, c.Messages) << c.Script;
    const std::string script = c.Script;
    if (!Errors.empty()) {
      EXPECT_EQ(Errors[0].Line, script.substr(0, script.find('\n'))) << c.Script;
    }
    EXPECT_EQ(Platform.TimeAt({9, 9}) >= 0, c.ReachesEnd) << c.Script;
    EXPECT_EQ(Platform.Pointer == (TPoint{400, 300}), !c.ReachesEnd) << c.Script;  // unresolved moves stay
    EXPECT_FALSE(Playback.IsPlaying()) << c.Script;
    EXPECT_EQ(Platform.Watcher, nullptr) << c.Script;
  }
}

TEST_F(DemoPlaybackTest, DirectivesPlayTheirLinesAndEmptyOnesAreSkipped) {
  ASSERT_TRUE(Play("#DOEACH\n#OD\n#EACH 0 MouseTo 1,1 2,2\n#DOFOR 3 4\nMouseTo #FOR, 0\n#OD\n; note\nMouseTo 7, 7\n"));
  EXPECT_TRUE(Platform.RunFor(1000));
  std::vector<TPoint> points;
  for (const auto& [time, p] : Platform.Moves) points.push_back(p);
  EXPECT_EQ(points, (std::vector<TPoint>{{1, 1}, {2, 2}, {3, 0}, {4, 0}, {7, 7}}));
  EXPECT_TRUE(Errors.empty());
}

TEST_F(DemoPlaybackTest, SpeedZeroSticksAndMovesJump) {
  ASSERT_TRUE(Play("MouseSpeed 0\nMouseSpeed 5\nMouseMove 300, 400\nMouseTo 1, 1\n"));
  Platform.RunFor(50);
  EXPECT_EQ(Playback.MouseSpeed, 0);
  EXPECT_EQ(Platform.TimeAt({300, 400}), Platform.TimeAt({1, 1}) - 10);
  ASSERT_TRUE(Play("MouseSpeed 10\n"));
  Platform.RunFor(50);
  EXPECT_EQ(Playback.MouseSpeed, 0);
}

TEST_F(DemoPlaybackTest, StepsNeverNest) {
  int nested = 0;
  Playback.OnCommand = [&](TWKDemoPlayback& p, const std::string&, bool& handled, TWKDemoScriptUserAction&,
                           const TWKDemoScriptParams&) {
    // A modal loop inside a command would run the pacing timer: that tick must do nothing.
    const int32_t line = p.LineIndex();
    EXPECT_TRUE(p.Tick());
    EXPECT_EQ(p.LineIndex(), line);
    ++nested;
    handled = true;
  };
  ASSERT_TRUE(Play("Cmd\nCmd\n"));
  EXPECT_TRUE(Platform.RunFor(100));
  EXPECT_EQ(nested, 2);
  EXPECT_EQ(Finished, 1);
}

TEST_F(DemoPlaybackTest, RecordingInsertsLinesWhereAsked) {
  TWKDemoScript script;
  script.LoadFromText("[Script]\nA\nB\n");
  Playback.LoadScript(script);
  std::vector<std::string> recorded;
  Playback.OnLineRecorded = [&](TWKDemoPlayback&, int32_t index, const std::string& text) {
    recorded.push_back(std::to_string(index) + " " + text);
  };
  Playback.RecordLine("ignored while not recording");
  ASSERT_TRUE(Playback.BeginRecording(1));
  EXPECT_TRUE(Playback.IsRecording());
  EXPECT_FALSE(Playback.BeginRecording(0));
  EXPECT_FALSE(Playback.Play(0));
  Playback.AddLine("X");
  Playback.RecordLine("Y");
  Playback.EndRecording();
  EXPECT_EQ(Playback.State(), TWKDemoState::Stopped);
  EXPECT_EQ(Playback.Script().ScriptLines(), (std::vector<std::string>{"A", "X", "Y", "B"}));
  EXPECT_EQ(recorded, (std::vector<std::string>{"1 X", "2 Y"}));
  ASSERT_TRUE(Playback.BeginRecording(-1));
  Playback.RecordLine("Z");
  Playback.EndRecording();
  EXPECT_EQ(Playback.Script().ScriptLines().back(), "Z");
  ASSERT_TRUE(Playback.BeginRecording(99));
  EXPECT_EQ(Playback.RecordIndex(), 5);
}
