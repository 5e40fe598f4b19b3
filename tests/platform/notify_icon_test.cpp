// The tray icon's records as the shell receives them, and the shell's notifications in the
// program's terms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/win_notify_icon.h"

namespace tess::win32 {
namespace {

class NotifyIconTest : public ::testing::Test {
 protected:
  struct Sent {
    DWORD message;
    NOTIFYICONDATAW data;
  };
  HWND window_ = reinterpret_cast<HWND>(0x1234);
  HICON icon_ = reinterpret_cast<HICON>(0x5678);
  std::vector<Sent> sent_;
  // What the shell answers to each kind of command.
  BOOL add_answer_ = TRUE;
  BOOL modify_answer_ = TRUE;
  WinNotifyIcon icon_under_test_{
      window_, icon_, nullptr, [this](DWORD message, NOTIFYICONDATAW* data) {
        sent_.push_back({message, *data});
        return message == NIM_ADD ? add_answer_ : message == NIM_MODIFY ? modify_answer_ : TRUE;
      }};
};

TEST_F(NotifyIconTest, AddRegistersTheCallbackForTheOneIconAndRemoveNamesOnlyIt) {
  const Picture program_icon = icon_under_test_.ProgramIcon();
  EXPECT_EQ(program_icon, PictureOf(icon_));
  EXPECT_TRUE(program_icon.IsIcon());
  EXPECT_TRUE(icon_under_test_.Add("Tessaline", program_icon));
  EXPECT_TRUE(icon_under_test_.Add("", Picture{}));
  icon_under_test_.Remove();
  ASSERT_EQ(sent_.size(), 3u);

  const NOTIFYICONDATAW& add = sent_[0].data;
  EXPECT_EQ(sent_[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(add.cbSize, sizeof(NOTIFYICONDATAW));
  EXPECT_EQ(add.hWnd, window_);
  EXPECT_EQ(add.uID, 0u);
  EXPECT_EQ(add.uFlags, static_cast<UINT>(NIF_ICON | NIF_MESSAGE | NIF_TIP));
  EXPECT_EQ(add.uCallbackMessage, 1125u);
  EXPECT_EQ(add.hIcon, icon_);
  EXPECT_STREQ(add.szTip, L"Tessaline");
  // Without a tip or a picture the shell gets neither flag.
  EXPECT_EQ(sent_[1].data.uFlags, static_cast<UINT>(NIF_MESSAGE));
  EXPECT_EQ(sent_[1].data.hIcon, nullptr);

  const NOTIFYICONDATAW& remove = sent_[2].data;
  EXPECT_EQ(sent_[2].message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(remove.uID, 0u);
  EXPECT_EQ(remove.hWnd, window_);
  EXPECT_EQ(remove.uFlags, 0u);
  EXPECT_EQ(remove.hIcon, nullptr);
}

TEST_F(NotifyIconTest, AnAddTheShellRefusesBringsAnIconItStillHasUpToDateOrFails) {
  add_answer_ = FALSE;  // the shell has the icon already
  EXPECT_TRUE(icon_under_test_.Add("Tessaline", PictureOf(icon_)));
  ASSERT_EQ(sent_.size(), 2u);
  EXPECT_EQ(sent_[1].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(sent_[1].data.uFlags, static_cast<UINT>(NIF_ICON | NIF_MESSAGE | NIF_TIP));
  EXPECT_EQ(sent_[1].data.hIcon, icon_);
  EXPECT_STREQ(sent_[1].data.szTip, L"Tessaline");

  modify_answer_ = FALSE;  // no shell at all
  EXPECT_FALSE(icon_under_test_.Add("Tessaline", PictureOf(icon_)));
}

TEST_F(NotifyIconTest, APictureIsSentAsTheIconAlone) {
  const HICON other = reinterpret_cast<HICON>(0x9abc);
  icon_under_test_.SetPicture(PictureOf(other));
  ASSERT_EQ(sent_.size(), 1u);
  EXPECT_EQ(sent_[0].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(sent_[0].data.uFlags, static_cast<UINT>(NIF_ICON));
  EXPECT_EQ(sent_[0].data.hIcon, other);
  EXPECT_EQ(PictureOf(nullptr), Picture{});
  EXPECT_EQ(IconOf(Picture{Picture::Type::kBitmap, 0x9abc}), nullptr);
}

TEST_F(NotifyIconTest, TipAndBalloonTextsAreCutToTheShellsFields) {
  icon_under_test_.SetTip(std::string(300, 't'));
  icon_under_test_.SetTip("");
  icon_under_test_.ShowBalloon(std::string(100, 'h'), std::string(400, 'b'), 5000);
  icon_under_test_.ShowBalloon("Tessaline", "gr\xC3\xBC\xC3\x9F", 0);
  ASSERT_EQ(sent_.size(), 4u);
  for (const auto& s : sent_) EXPECT_EQ(s.message, static_cast<DWORD>(NIM_MODIFY));

  EXPECT_EQ(sent_[0].data.uFlags, static_cast<UINT>(NIF_TIP));
  EXPECT_EQ(std::wstring(sent_[0].data.szTip), std::wstring(127, L't'));
  EXPECT_EQ(sent_[1].data.uFlags, static_cast<UINT>(NIF_TIP));  // an empty tip is sent too
  EXPECT_STREQ(sent_[1].data.szTip, L"");

  const NOTIFYICONDATAW& balloon = sent_[2].data;
  EXPECT_EQ(balloon.uFlags, static_cast<UINT>(NIF_INFO));
  EXPECT_EQ(std::wstring(balloon.szInfoTitle), std::wstring(63, L'h'));
  EXPECT_EQ(std::wstring(balloon.szInfo), std::wstring(255, L'b'));
  EXPECT_EQ(balloon.uTimeout, 5000u);
  EXPECT_EQ(balloon.dwInfoFlags, static_cast<DWORD>(NIIF_NONE));
  EXPECT_STREQ(sent_[3].data.szInfo, L"gr\x00FC\x00DF");
  EXPECT_EQ(sent_[3].data.uTimeout, 0u);
}

TEST(TrayEventTest, TheShellsNotificationsInTheProgramsTerms) {
  const std::vector<std::pair<LPARAM, TrayEvent>> table = {
      {512, TrayEvent::kMouseMove},        {513, TrayEvent::kLeftButtonDown},
      {514, TrayEvent::kLeftButtonUp},     {515, TrayEvent::kLeftDoubleClick},
      {516, TrayEvent::kRightButtonDown},  {517, TrayEvent::kRightButtonUp},
      {518, TrayEvent::kRightDoubleClick}, {1026, TrayEvent::kBalloonShown},
      {1027, TrayEvent::kBalloonHidden},   {1028, TrayEvent::kBalloonTimedOut},
      {1029, TrayEvent::kBalloonClicked},
  };
  for (const auto& [notification, event] : table) {
    EXPECT_EQ(TrayEventFrom(notification), event) << notification;
  }
  // The middle button and anything else are not the program's business.
  for (const LPARAM other : {0, 519, 520, 521, 1024, 1025, 1030}) {
    EXPECT_EQ(TrayEventFrom(other), std::nullopt) << other;
  }
}

}  // namespace
}  // namespace tess::win32
