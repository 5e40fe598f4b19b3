// The tray icon control: in and out of the tray, its tip, the balloon's wait, and the mouse
// notifications turned into events.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "support/fakes.h"
#include "tray/tray_icon.h"

namespace tess::test {
namespace {

using Kind = FakeNotifyIcon::Call::Kind;

class TrayTest : public ::testing::Test {
 protected:
  std::vector<Kind> Kinds() const {
    std::vector<Kind> kinds;
    for (const auto& call : fakes_.notify_icon.calls) kinds.push_back(call.kind);
    return kinds;
  }
  FakeServices fakes_;
  TrayIcon tray_{fakes_.notify_icon, fakes_.clock, fakes_.pump};
};

TEST_F(TrayTest, TheTipTravelsWithTheIconAndTheIconLeavesWithTheControl) {
  tray_.SetTrayTip("before");  // not yet in the tray: only remembered
  tray_.SetInTray(true);
  tray_.SetInTray(true);
  tray_.SetTrayTip("Tessaline");
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::kAdd, Kind::kSetTip}));
  EXPECT_EQ(fakes_.notify_icon.calls[0].tip, "before");
  EXPECT_EQ(fakes_.notify_icon.calls[1].tip, "Tessaline");
  {
    TrayIcon short_lived(fakes_.notify_icon, fakes_.clock, fakes_.pump);
    short_lived.SetInTray(true);
  }
  EXPECT_EQ(fakes_.notify_icon.calls.back().kind, Kind::kRemove);
}

TEST_F(TrayTest, ABalloonWaitsItsTimeThenIsTakenAway) {
  tray_.SetInTray(true);
  tray_.ShowBalloon("text", "title", 2, false);
  EXPECT_EQ(fakes_.pump.calls, 8);  // a quarter second per pass
  ASSERT_EQ(Kinds(), (std::vector<Kind>{Kind::kAdd, Kind::kShowBalloon, Kind::kShowBalloon}));
  EXPECT_EQ(fakes_.notify_icon.calls[1].title, "title");
  EXPECT_EQ(fakes_.notify_icon.calls[1].text, "text");
  EXPECT_EQ(fakes_.notify_icon.calls[1].timeout_ms, 2000u);
  EXPECT_EQ(fakes_.notify_icon.calls[2].text, "");
  EXPECT_TRUE(tray_.BalloonShowing());
}

// Wine never reports a balloon gone, nor do systems that suppress balloons: the wait must end
// by its own measure whatever the time of day does meanwhile.
TEST_F(TrayTest, TheWaitEndsAfterItsSecondsWhateverTheTimeOfDayDoes) {
  const struct {
    const char* what;
    LocalTime start;
    std::function<void(LocalTime&)> jump;  // at the third pass
  } cases[] = {
      {"passing midnight", {2021, 8, 31, 23, 59, 58, 0}, nullptr},
      {"set back an hour", {2021, 8, 31, 16, 0, 0, 0}, [](LocalTime& t) { t.hour -= 1; }},
      {"set on an hour", {2021, 8, 31, 16, 0, 0, 0}, [](LocalTime& t) { t.hour += 1; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeServices fakes;
    TrayIcon tray(fakes.notify_icon, fakes.clock, fakes.pump);
    fakes.clock.now = c.start;
    fakes.pump.every_call = [&] {
      fakes.clock.Advance(0.25);
      if (fakes.pump.calls == 3 && c.jump) c.jump(fakes.clock.now);
      // A wait that never ends fails here instead of hanging the suite.
      if (fakes.pump.calls > 400) throw std::runtime_error("the balloon wait did not end");
    };
    tray.SetInTray(true);
    ASSERT_NO_THROW(tray.ShowBalloon("text", "title", 5, true));
    EXPECT_EQ(fakes.pump.calls, 20);
    // Still showing as far as anyone knows, so it is taken away.
    ASSERT_EQ(fakes.notify_icon.calls.size(), 3u);
    EXPECT_EQ(fakes.notify_icon.calls.back().kind, Kind::kShowBalloon);
    EXPECT_EQ(fakes.notify_icon.calls.back().text, "");
  }
}

// A timed run that fails during the minimise notice's wait shows its own balloon; the wait's end
// must leave that one in view.
TEST_F(TrayTest, TheWaitsEndTakesAwayOnlyItsOwnBalloon) {
  tray_.SetInTray(true);
  fakes_.pump.At(3, [&] { tray_.ShowBalloon("a folder failed", "Tessaline", 0, false); });
  tray_.ShowBalloon("minimized", "Tessaline", 2, true);
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::kAdd, Kind::kShowBalloon, Kind::kShowBalloon}));
  EXPECT_EQ(fakes_.notify_icon.calls.back().text, "a folder failed");
  EXPECT_TRUE(tray_.BalloonShowing());
}

TEST_F(TrayTest, TheShellEndsTheWaitWhenTheBalloonGoesButNotWhenItShows) {
  for (const TrayEvent gone :
       {TrayEvent::kBalloonHidden, TrayEvent::kBalloonTimedOut, TrayEvent::kBalloonClicked}) {
    fakes_.notify_icon.calls.clear();
    fakes_.pump.calls = 0;
    fakes_.pump.At(1, [&] { tray_.Dispatch(TrayEvent::kBalloonShown, 0); });
    fakes_.pump.At(2, [&] { tray_.Dispatch(gone, 0); });
    tray_.ShowBalloon("text", "title", 5, false);
    EXPECT_EQ(fakes_.pump.calls, 2);
    EXPECT_EQ(Kinds(), std::vector<Kind>{Kind::kShowBalloon});  // nothing left to take away
    EXPECT_FALSE(tray_.BalloonShowing());
  }
}

TEST_F(TrayTest, TheIconTakesIconPicturesOnlyAndShowsThemFromItsFirstAdd) {
  const Picture icon{Picture::Type::kIcon, 0x10};
  const Picture other_icon{Picture::Type::kIcon, 0x20};
  tray_.SetIcon(Picture{Picture::Type::kBitmap, 0x30});
  tray_.SetIcon(Picture{});
  EXPECT_EQ(tray_.Icon(), Picture{});
  tray_.SetIcon(icon);  // not yet in the tray: only remembered
  tray_.SetTrayTip("Tessaline");
  EXPECT_TRUE(fakes_.notify_icon.calls.empty());

  tray_.SetInTray(true);
  ASSERT_EQ(fakes_.notify_icon.calls.size(), 1u);
  EXPECT_EQ(fakes_.notify_icon.calls[0].kind, Kind::kAdd);
  EXPECT_EQ(fakes_.notify_icon.calls[0].picture, icon);
  EXPECT_EQ(fakes_.notify_icon.calls[0].tip, "Tessaline");

  // In the tray a new icon picture reaches the shell at once; a picture of another kind, or no
  // picture, changes nothing at all.
  tray_.SetIcon(other_icon);
  tray_.SetIcon(Picture{Picture::Type::kMetafile, 0x40});
  tray_.SetIcon(Picture{Picture::Type::kIcon, 0});
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::kAdd, Kind::kSetPicture}));
  EXPECT_EQ(fakes_.notify_icon.calls[1].picture, other_icon);
  EXPECT_EQ(tray_.Icon(), other_icon);
}

TEST_F(TrayTest, AnIconTheShellRefusedComesWhenTheShellStarts) {
  tray_.SetTrayTip("Tessaline");
  tray_.SetIcon(Picture{Picture::Type::kIcon, 0x10});
  tray_.Dispatch(TrayEvent::kShellStarted, 0);  // out of the tray: nothing to bring back
  EXPECT_TRUE(fakes_.notify_icon.calls.empty());

  fakes_.notify_icon.shell_running = false;
  tray_.SetInTray(true);
  EXPECT_TRUE(tray_.InTray());
  EXPECT_FALSE(tray_.IconShown());

  fakes_.notify_icon.shell_running = true;
  tray_.Dispatch(TrayEvent::kShellStarted, 0);
  EXPECT_TRUE(tray_.IconShown());
  ASSERT_EQ(Kinds(), (std::vector<Kind>{Kind::kAdd, Kind::kAdd}));
  EXPECT_EQ(fakes_.notify_icon.calls[1].tip, "Tessaline");
  EXPECT_EQ(fakes_.notify_icon.calls[1].picture, (Picture{Picture::Type::kIcon, 0x10}));

  // A shell that restarts later loses the icon again; its announcement brings it back again.
  tray_.Dispatch(TrayEvent::kShellStarted, 0);
  EXPECT_EQ(fakes_.notify_icon.calls.size(), 3u);
  tray_.SetInTray(false);
  EXPECT_FALSE(tray_.IconShown());
  EXPECT_EQ(fakes_.notify_icon.calls.back().kind, Kind::kRemove);
}

TEST_F(TrayTest, OnceMeansOnceAndAnOverlongTimeIsAnOverflow) {
  tray_.ShowBalloon("a", "t", 0, true);
  tray_.ShowBalloon("b", "t", 0, true);
  tray_.ShowBalloon("c", "t", 0, false);
  ASSERT_EQ(fakes_.notify_icon.calls.size(), 2u);
  EXPECT_EQ(fakes_.notify_icon.calls[1].text, "c");
  EXPECT_EQ(fakes_.pump.calls, 0);  // no time given: no wait
  EXPECT_THROW(tray_.ShowBalloon("d", "t", 2147484, false), PlatformError);
  EXPECT_EQ(fakes_.notify_icon.calls.size(), 2u);
}

TEST_F(TrayTest, MouseNotificationsBecomeEventsWithTheirButton) {
  std::vector<std::string> seen;
  tray_.MouseMove = [&](int id) { seen.push_back("move " + std::to_string(id)); };
  tray_.MouseDown = [&](int b, int id) { seen.push_back("down " + std::to_string(b * 10 + id)); };
  tray_.MouseUp = [&](int b, int id) { seen.push_back("up " + std::to_string(b * 10 + id)); };
  tray_.MouseDblClick = [&](int b, int) { seen.push_back("double " + std::to_string(b)); };
  for (const TrayEvent event :
       {TrayEvent::kMouseMove, TrayEvent::kLeftButtonDown, TrayEvent::kLeftButtonUp,
        TrayEvent::kLeftDoubleClick, TrayEvent::kRightButtonDown, TrayEvent::kRightButtonUp,
        TrayEvent::kRightDoubleClick, TrayEvent::kBalloonShown}) {
    tray_.Dispatch(event, 3);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"move 3", "down 13", "up 13", "double 1", "down 23",
                                            "up 23", "double 2"}));
}

}  // namespace
}  // namespace tess::test
