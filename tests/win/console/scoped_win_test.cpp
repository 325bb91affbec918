// The scope classes around Win32 handles: each releases exactly once, restores what it changed,
// and cannot be copied.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "scoped/scoped_win.h"

namespace {

static_assert(!std::is_copy_constructible<scoped::Font>::value, "a copy would delete twice");
static_assert(!std::is_copy_assignable<scoped::Brush>::value, "a copy would delete twice");
static_assert(std::is_move_constructible<scoped::Bitmap>::value, "ownership may pass on");
static_assert(!std::is_copy_constructible<scoped::SolidBrush>::value, "a copy would delete twice");
static_assert(!std::is_copy_constructible<scoped::WindowDC>::value, "");
static_assert(!std::is_copy_constructible<scoped::Select>::value, "");
static_assert(!std::is_copy_constructible<scoped::Clipboard>::value, "");
static_assert(!std::is_copy_constructible<scoped::GlobalMemory>::value, "");
static_assert(!std::is_copy_constructible<scoped::Caret>::value, "");
static_assert(!std::is_copy_constructible<scoped::Menu>::value, "a copy would destroy twice");
static_assert(!std::is_copy_constructible<scoped::Library>::value, "a copy would free twice");
static_assert(!std::is_copy_assignable<scoped::MappedView>::value, "a copy would unmap twice");
static_assert(std::is_nothrow_move_constructible<scoped::Handle>::value, "ownership may pass on");

// A handle kind whose closes are recorded: the owner body every kind shares, seen from outside.
struct CountedTraits {
  using Type = int;
  static constexpr int Empty() { return 0; }
  static bool IsEmpty(int handle) { return handle == 0; }
  static void Close(int handle) { closed.push_back(handle); }
  inline static std::vector<int> closed;
};
using Counted = scoped::Unique<CountedTraits>;

TEST(ScopedUnique, EveryHandleIsClosedExactlyOnce) {
  struct Case {
    const char* what;
    void (*steps)();
    std::vector<int> closed;  // in the order the closes happen
  } cases[] = {
      {"scope end", [] { Counted a(1); }, {1}},
      {"an empty value is held as empty", [] { Counted a(0); }, {}},
      {"move construction", [] { Counted a(1); Counted b(std::move(a)); }, {1}},
      {"move assignment over a held handle", [] { Counted a(1); Counted b(2); b = std::move(a); }, {2, 1}},
      {"move assignment to itself",
       [] {
         Counted a(1);
         Counted& same = a;
         a = std::move(same);
       },
       {1}},
      {"reset to another handle", [] { Counted a(1); a.reset(2); }, {1, 2}},
      {"reset to empty", [] { Counted a(1); a.reset(); a.reset(); }, {1}},
      {"release", [] { Counted a(1); EXPECT_EQ(a.release(), 1); }, {}},
      {"a moved-from scope takes a new handle",
       [] {
         Counted a(1);
         Counted b(std::move(a));
         a.reset(2);
       },
       {1, 2}},  // b, declared later, goes first
  };
  for (const Case& c : cases) {
    CountedTraits::closed.clear();
    c.steps();
    EXPECT_EQ(CountedTraits::closed, c.closed) << c.what;
  }
}

// Real handles of each kind: what the scope closes is closed for the system, once handed on by a
// move it stays open, and release leaves it open for the caller to close.
template <typename Scope, typename Raw>
struct KindBase {
  using ScopeType = Scope;
  using RawType = Raw;
};

struct EventKind : KindBase<scoped::Handle, HANDLE> {
  static HANDLE Make() { return CreateEventA(nullptr, TRUE, FALSE, nullptr); }
  static bool Open(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
  }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};

struct BrushKind : KindBase<scoped::Brush, HBRUSH> {
  static HBRUSH Make() { return CreateSolidBrush(RGB(7, 8, 9)); }
  static bool Open(HBRUSH brush) { return GetObjectType(brush) == OBJ_BRUSH; }
  static void Close(HBRUSH brush) { DeleteObject(brush); }
};

struct MenuKind : KindBase<scoped::Menu, HMENU> {
  static HMENU Make() {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "item");
    return menu;
  }
  static bool Open(HMENU menu) { return IsMenu(menu) != FALSE; }
  static void Close(HMENU menu) { DestroyMenu(menu); }
};

// A system DLL the test program does not import: loaded only through the scope under test, so
// that its last FreeLibrary unloads it.
constexpr char kSpareLibrary[] = "msimg32.dll";

struct LibraryKind : KindBase<scoped::Library, HMODULE> {
  static HMODULE Make() { return LoadLibraryA(kSpareLibrary); }
  static bool Open(HMODULE module) { return module && GetModuleHandleA(kSpareLibrary) == module; }
  static void Close(HMODULE module) { FreeLibrary(module); }
};

struct ViewKind : KindBase<scoped::MappedView, void*> {
  static void* Make() {
    static const scoped::Handle section(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr));
    return MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 4096);
  }
  static bool Open(void* view) {
    MEMORY_BASIC_INFORMATION region = {};
    return VirtualQuery(view, &region, sizeof region) == sizeof region && region.State == MEM_COMMIT &&
           region.Type == MEM_MAPPED;
  }
  static void Close(void* view) { UnmapViewOfFile(view); }
};

template <typename Kind>
class ScopedKind : public ::testing::Test {};
using Kinds = ::testing::Types<EventKind, BrushKind, MenuKind, LibraryKind, ViewKind>;
TYPED_TEST_SUITE(ScopedKind, Kinds);

TYPED_TEST(ScopedKind, ClosesAtScopeEnd) {
  const typename TypeParam::RawType raw = TypeParam::Make();
  ASSERT_TRUE(TypeParam::Open(raw));
  {
    typename TypeParam::ScopeType scope(raw);
    EXPECT_TRUE(scope);
    EXPECT_EQ(scope.get(), raw);
    EXPECT_TRUE(TypeParam::Open(raw));
  }
  EXPECT_FALSE(TypeParam::Open(raw));
}

TYPED_TEST(ScopedKind, MovesLeaveTheSourceEmptyAndTheTargetOwning) {
  const typename TypeParam::RawType raw = TypeParam::Make();
  ASSERT_TRUE(TypeParam::Open(raw));
  typename TypeParam::ScopeType last;
  {
    typename TypeParam::ScopeType first(raw);
    typename TypeParam::ScopeType second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), raw);
    last = std::move(second);
    EXPECT_FALSE(second);
  }
  EXPECT_TRUE(TypeParam::Open(raw));  // the scopes that gave it away did not close it
  EXPECT_EQ(last.get(), raw);
  last.reset();
  EXPECT_FALSE(TypeParam::Open(raw));
}

TYPED_TEST(ScopedKind, MoveAssignmentClosesWhatTheTargetHeld) {
  const typename TypeParam::RawType kept = TypeParam::Make();
  typename TypeParam::ScopeType target(TypeParam::Make());
  const typename TypeParam::RawType replaced = target.get();
  ASSERT_TRUE(TypeParam::Open(replaced));
  typename TypeParam::ScopeType source(kept);
  target = std::move(source);
  // A library loaded twice is one module with two references: the first free leaves it loaded.
  if (!std::is_same<TypeParam, LibraryKind>::value) {
    EXPECT_FALSE(TypeParam::Open(replaced));
  }
  EXPECT_TRUE(TypeParam::Open(kept));
  EXPECT_EQ(target.get(), kept);
  target.reset();
  EXPECT_FALSE(TypeParam::Open(kept));
}

TYPED_TEST(ScopedKind, ReleaseHandsOwnershipOn) {
  const typename TypeParam::RawType raw = TypeParam::Make();
  {
    typename TypeParam::ScopeType scope(raw);
    EXPECT_EQ(scope.release(), raw);
    EXPECT_FALSE(scope);
  }
  ASSERT_TRUE(TypeParam::Open(raw));
  TypeParam::Close(raw);
  EXPECT_FALSE(TypeParam::Open(raw));
}

TEST(ScopedWin, HandleHoldsInvalidHandleValueAsEmpty) {
  scoped::Handle invalid(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(invalid);
  EXPECT_EQ(invalid.get(), nullptr);
  invalid.reset(INVALID_HANDLE_VALUE);
  EXPECT_EQ(invalid.get(), nullptr);
}

// The library scope frees its one reference: a module loaded twice stays loaded until the
// second reference goes.
TEST(ScopedWin, LibraryFreesItsOneReference) {
  ASSERT_EQ(GetModuleHandleA(kSpareLibrary), nullptr) << "the test program must not import it";
  const HMODULE extra = LoadLibraryA(kSpareLibrary);
  ASSERT_NE(extra, nullptr);
  { scoped::Library library(LoadLibraryA(kSpareLibrary)); }
  EXPECT_EQ(GetModuleHandleA(kSpareLibrary), extra);
  FreeLibrary(extra);
  EXPECT_EQ(GetModuleHandleA(kSpareLibrary), nullptr);
}

TEST(ScopedWin, SystemLibraryComesFromTheSystemFolder) {
  char system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  ASSERT_GT(length, 0u);
  {
    const scoped::Library library = scoped::LoadSystemLibrary(kSpareLibrary);
    ASSERT_TRUE(library);
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(library.get(), path, MAX_PATH), length);
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path, int(length), system, int(length)),
              CSTR_EQUAL)
        << path;
    EXPECT_EQ(path[length], '\\');
  }
  EXPECT_EQ(GetModuleHandleA(kSpareLibrary), nullptr);
  // A name that makes the path too long loads nothing.
  EXPECT_FALSE(scoped::LoadSystemLibrary(std::string(MAX_PATH, 'a').c_str()));
}

TEST(ScopedWin, GdiObjectDeletesOnceAndMovesOwnership) {
  HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
  {
    scoped::Brush first(raw);
    scoped::Brush second(std::move(first));
    EXPECT_EQ(first.get(), nullptr);
    EXPECT_EQ(second.get(), raw);
    EXPECT_EQ(GetObjectType(raw), DWORD(OBJ_BRUSH));
  }
  EXPECT_EQ(GetObjectType(raw), 0u);  // deleted by the last owner
  HBRUSH kept = CreateSolidBrush(RGB(4, 5, 6));
  {
    scoped::Brush owner(kept);
    EXPECT_EQ(owner.release(), kept);
  }
  EXPECT_EQ(GetObjectType(kept), DWORD(OBJ_BRUSH));
  DeleteObject(kept);
}

TEST(ScopedWin, SelectRestoresThePreviousObject) {
  scoped::MemoryDC dc(nullptr);
  ASSERT_NE(dc.get(), nullptr);
  HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_FONT);
  scoped::Font font(CreateFontA(20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Courier"));
  {
    scoped::Select selected(dc.get(), font.get());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font.get());
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), before);
}

TEST(ScopedWin, SolidBrushIsDeletedAfterSelectPutThePreviousBrushBack) {
  scoped::MemoryDC dc(nullptr);
  ASSERT_NE(dc.get(), nullptr);
  const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BRUSH);
  HBRUSH created = nullptr;
  {
    scoped::SolidBrush brush(RGB(1, 2, 3));
    created = brush.get();
    ASSERT_NE(created, nullptr);
    scoped::Select selected(dc.get(), brush.get());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), created);
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), original);
  // Deleted at scope end: the handle no longer names a GDI object.
  EXPECT_EQ(GetObjectType(created), 0u);
}

TEST(ScopedWin, WindowDCKeepsItsDCAndReleasesItOnTheWindowItCameFrom) {
  {
    scoped::WindowDC screen(nullptr);
    EXPECT_NE(screen.get(), nullptr);
    EXPECT_NE(GetDeviceCaps(screen.get(), BITSPIXEL), 0);
  }
  const HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  HDC taken = nullptr;
  {
    scoped::WindowDC dc(window);
    taken = dc.get();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(WindowFromDC(taken), window);
  }
  // A second ReleaseDC of the same common DC reports failure once the scope released it.
  EXPECT_EQ(ReleaseDC(window, taken), 0);
  DestroyWindow(window);
}

TEST(ScopedWin, ClipboardClosesAtScopeEnd) {
  {
    scoped::Clipboard clipboard(nullptr);
    ASSERT_TRUE(clipboard.opened());
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  }
  // Closed again: a second open works.
  scoped::Clipboard again(nullptr);
  EXPECT_TRUE(again.opened());
}

// A clipboard that another thread holds for a moment (as a clipboard manager does right after a
// copy) is opened once it lets go, not refused at the first try.
DWORD WINAPI HoldClipboardAMoment(void* released) {
  // Held for a window of this thread: an open without one would be shared with the whole process.
  const HWND window = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (!window || !OpenClipboard(window)) return 1;
  SetEvent(static_cast<HANDLE>(released));  // held: the test may try now
  Sleep(50);  // a tenth of the time an open is tried for
  CloseClipboard();
  DestroyWindow(window);
  return 0;
}

TEST(ScopedWin, ClipboardHeldForAMomentIsOpenedOnceFree) {
  const scoped::Handle held(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  const scoped::Handle holder(CreateThread(nullptr, 0, HoldClipboardAMoment, held.get(), 0, nullptr));
  ASSERT_TRUE(holder);
  ASSERT_EQ(WaitForSingleObject(held.get(), 10000), WAIT_OBJECT_0);
  {
    scoped::Clipboard clipboard(nullptr);
    EXPECT_TRUE(clipboard.opened()) << "refused while another held it for a moment";
  }
  WaitForSingleObject(holder.get(), 10000);
  DWORD code = 99;
  GetExitCodeThread(holder.get(), &code);
  EXPECT_EQ(code, 0u);
}

TEST(ScopedWin, GlobalMemoryIsFreedUnlessReleased) {
  scoped::GlobalMemory memory(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
  ASSERT_NE(memory.get(), nullptr);
  {
    scoped::GlobalLock lock(memory.get());
    ASSERT_NE(lock.data(), nullptr);
    EXPECT_EQ(static_cast<char*>(lock.data())[0], 0);
    EXPECT_EQ(GlobalFlags(memory.get()) & GMEM_LOCKCOUNT, 1u);
  }
  EXPECT_EQ(GlobalFlags(memory.get()) & GMEM_LOCKCOUNT, 0u);
  HGLOBAL released = memory.release();
  EXPECT_EQ(memory.get(), nullptr);
  EXPECT_EQ(GlobalFree(released), nullptr);  // still ours to free
}

TEST(ScopedWin, CaretIsDestroyedOnce) {
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  {
    scoped::Caret caret;
    EXPECT_TRUE(caret.Create(window, 2, 10));
    EXPECT_TRUE(caret.owned());
    POINT position = {};
    EXPECT_TRUE(GetCaretPos(&position));
    caret.Destroy();
    EXPECT_FALSE(caret.owned());
  }
  DestroyWindow(window);
}

}  // namespace
