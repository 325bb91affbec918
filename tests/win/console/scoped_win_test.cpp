// The scope classes around Win32 handles: each releases exactly once, restores what it changed,
// and cannot be copied.
#include <gtest/gtest.h>

#include <type_traits>

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
