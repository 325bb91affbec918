// How vigilo.exe looks at every display scale and in the system's dark theme: its own manifest,
// the console's line height and the toolbar's buttons at 96, 144 and 192 DPI measured on screen,
// dark colours where the user set none, and screenshots of each scale, theme and language.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource_ids.h"
#include "support/monitor_fixture.h"
#include "support/screenshot.h"
#include "support/client_capture.h"

namespace {

// A DWORD value of the user's registry (the prefix's, shared with the monitor) set for a scope and
// put back as it was.
class ScopedUserValue {
 public:
  ScopedUserValue(const char* key, const char* name, DWORD value) : key_(key), name_(name) {
    DWORD size = sizeof old_;
    had_ = RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &old_, &size) == ERROR_SUCCESS;
    ok_ = RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
  }
  ~ScopedUserValue() {
    if (had_) {
      RegSetKeyValueA(HKEY_CURRENT_USER, key_, name_, REG_DWORD, &old_, sizeof old_);
    } else {
      RegDeleteKeyValueA(HKEY_CURRENT_USER, key_, name_);
    }
  }
  ScopedUserValue(const ScopedUserValue&) = delete;
  ScopedUserValue& operator=(const ScopedUserValue&) = delete;
  bool ok() const { return ok_; }

 private:
  const char* key_;
  const char* name_;
  DWORD old_ = 0;
  bool had_ = false;
  bool ok_ = false;
};

constexpr char kDesktop[] = "Control Panel\\Desktop";
constexpr char kPersonalize[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

using Capture = ClientCapture;

// The first row from `from` on where some pixel of the left quarter differs (or not) from `back`.
int RowWhere(const Capture& capture, int from, COLORREF back, bool differs) {
  for (int y = from; y < capture.height; ++y) {
    bool any = false;
    for (int x = 0; x < capture.width / 4 && !any; ++x) any = capture.At(x, y) != back;
    if (any == differs) return y;
  }
  return -1;
}

// The distance between the tops of two lines of the same glyphs: the console's line height.
int MeasuredLineHeight(HWND console) {
  const Capture capture = CaptureClient(console);
  const COLORREF back = capture.At(1, 1);  // the margin shows the normal background
  const int first = RowWhere(capture, 0, back, true);
  const int gap = first < 0 ? -1 : RowWhere(capture, first, back, false);
  const int second = gap < 0 ? -1 : RowWhere(capture, gap, back, true);
  return second < 0 ? -1 : second - first;
}

std::string Ini(int language, const std::string& system = {}) {
  return "[system]\r\nlanguage=" + std::to_string(language) + "\r\n" + system +
         "[console]\r\ntext font name=" + (language == 1 ? "VL Gothic" : "DejaVu Sans Mono") + "\r\n";
}

class LookEndToEnd : public MonitorFixture {
 protected:
  void StartWithLines(const std::string& ini) {
    Start(ini);
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(SendToMonitor("MMMMMMMM\n"));
    ASSERT_TRUE(WaitUntil(
        [&] {
          const std::string text = monitor().ConsoleText();
          const size_t first = text.find("MMMMMMMM\r\n");
          return first != std::string::npos && text.find("MMMMMMMM\r\n", first + 1) != std::string::npos;
        },
        10000));
    Sleep(300);  // the paint after the tick
  }
  void Stop() {
    EXPECT_EQ(monitor_->Exit(), 0u);
    monitor_.reset();
  }
};

TEST(LookResources, TheProgramsManifestAsksForCommonControls6AndPerMonitorDpi) {
  HMODULE program = LoadLibraryExA((BinDirectory() + "\\vigilo.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  const HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(found, nullptr) << "no manifest, resource 1 of type 24";
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(program, found)));
  const std::string manifest(bytes, SizeofResource(program, found));
  FreeLibrary(program);
  for (const char* wanted :
       {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "publicKeyToken=\"6595b64144ccf1df\"",
        "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>",
        "level=\"asInvoker\"", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
    EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
  }
  EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos) << "the ANSI code page stays the system's";
}

// The console's line height and the toolbar's button size, measured in the running monitor,
// grow with the display's DPI; a screenshot of each scale in each theme and language.
TEST_F(LookEndToEnd, LinesAndButtonsFollowTheDisplayScale) {
  int lineAt96 = 0, buttonWidthAt96 = 0, buttonHeightAt96 = 0;
  for (const DWORD dpi : {96u, 144u, 192u}) {
    SCOPED_TRACE(std::to_string(dpi) + " DPI");
    ScopedUserValue logPixels(kDesktop, "LogPixels", dpi);
    ASSERT_TRUE(logPixels.ok());
    StartWithLines(Ini(0));
    const int line = MeasuredLineHeight(monitor().console());
    const DWORD button = static_cast<DWORD>(SendMessageA(monitor().toolbar(), TB_GETBUTTONSIZE, 0, 0));
    const int width = LOWORD(button), height = HIWORD(button);
    ASSERT_GT(line, 0);
    if (dpi == 96) {
      lineAt96 = line;
      buttonWidthAt96 = width;
      buttonHeightAt96 = height;
    } else {
      const double scale = dpi / 96.0;
      for (const double ratio : {double(line) / lineAt96, double(width) / buttonWidthAt96,
                                 double(height) / buttonHeightAt96}) {
        EXPECT_GE(ratio, scale - 0.1) << "line " << line << " (" << lineAt96 << "), button " << width << "x" << height;
        EXPECT_LE(ratio, scale + 0.1) << "line " << line << " (" << lineAt96 << "), button " << width << "x" << height;
      }
    }
    Stop();
  }
}

TEST_F(LookEndToEnd, ADarkSystemThemeDarkensOnlyTheColoursTheUserHasNotSet) {
  ScopedUserValue theme(kPersonalize, "AppsUseLightTheme", 0);
  ASSERT_TRUE(theme.ok());
  StartWithLines(Ini(0));
  const COLORREF dark = CaptureClient(monitor().console()).At(1, 1);
  EXPECT_LT(GetRValue(dark) + GetGValue(dark) + GetBValue(dark), 200) << std::hex << dark;
  Stop();
  StartWithLines(Ini(0) + "console back 1=16777215\r\n");
  EXPECT_EQ(CaptureClient(monitor().console()).At(1, 1), RGB(255, 255, 255)) << "a colour in vigilo.ini stays";
  Stop();
}

// Every scale and theme in one language: the main window with messages and the tabs of three
// views, the settings sheet and
// the find dialog, kept under build/artifacts as look-<window>-<dpi>-<theme>-<language>.
class LookScreenshots : public LookEndToEnd {
 protected:
  void TakeAll(int language, const char* suffix) {
    for (const DWORD dpi : {96u, 144u, 192u}) {
      for (const bool dark : {false, true}) {
        ScopedUserValue logPixels(kDesktop, "LogPixels", dpi);
        ScopedUserValue theme(kPersonalize, "AppsUseLightTheme", dark ? 0 : 1);
        const std::string name = std::to_string(dpi) + (dark ? "-dark-" : "-light-") + suffix;
        SCOPED_TRACE(name);
        // Three views: the tabs above the console in every scale and theme.
        StartWithLines(Ini(language, "show senders=1\r\ntime stamps=1\r\nviews=3\r\n") +
                       "[view 2]\r\nname=service\r\ncount=0\r\n[view 3]\r\ncount=0\r\n");
        ChildProcess client("\"" + BinDirectory() + "\\hello.exe\"", "");
        ASSERT_TRUE(client.started());
        EXPECT_EQ(client.Wait(10000), 0u);
        ASSERT_TRUE(WaitUntil([&] { return monitor().ConsoleText().find("wide text") != std::string::npos; }, 10000));
        EXPECT_TRUE(SaveScreenshot(monitor().window(), "look-main-" + name));
        if (dpi == 96 && !dark) {
          // The four forms of View > Time Stamp Form, the whole history drawn in each.
          const char* const kForms[] = {"clock", "date", "elapsed", "delta"};
          for (int form = 0; form < 4; ++form) {
            monitor().Command(ID_VIEW_STAMP_CLOCK + form);
            EXPECT_TRUE(SaveScreenshot(monitor().window(), std::string("look-stamps-") + kForms[form] + "-" + suffix));
          }
          monitor().Command(ID_VIEW_STAMP_CLOCK);
        }
        monitor().PostCommand(ID_FILE_SETTING);
        const HWND sheet = monitor().WaitForDialog();
        ASSERT_NE(sheet, nullptr);
        EXPECT_TRUE(SaveScreenshot({sheet, monitor().window()}, "look-sheet-" + name));
        PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(monitor().WaitForNoDialog());
        monitor().PostCommand(ID_EDIT_FIND);
        const HWND find = monitor().WaitForDialog();
        ASSERT_NE(find, nullptr);
        EXPECT_TRUE(SaveScreenshot({find, monitor().window()}, "look-find-" + name));
        PostMessageA(find, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(monitor().WaitForNoDialog());
        Stop();
      }
    }
  }
};

TEST_F(LookScreenshots, EveryScaleAndThemeInEnglish) { TakeAll(0, "en"); }

// Run under code page 932 (its own ctest entry), where the Japanese resources show as written.
TEST_F(LookScreenshots, EveryScaleAndThemeInJapanese) {
  ASSERT_EQ(GetACP(), 932u) << "the Japanese run needs the Japanese locale";
  TakeAll(1, "ja");
}

}  // namespace
