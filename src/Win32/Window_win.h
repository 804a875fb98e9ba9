#pragma once

#include <windows.h>

#include <map>
#include <set>

// A window's normal-position rectangle and show command: the five numbers that
// the WindowPlacement preference stores.
struct Placement {
    RECT normal{};
    int showCommand = SW_SHOWNORMAL;
};

// One window handle and the objects built on it. An object registers with its
// parent when it is made; once its window exists and is attached, the parent
// offers it every message it receives.
class Window {
public:
    // parentHwnd is used only when there is no parent object (a top-level dialog).
    Window(Window* parent, int id, HINSTANCE instance, HWND parentHwnd);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual void hide();
    virtual void show();
    virtual void setFocus();
    virtual void enable(bool enabled);
    virtual void disable();
    virtual void redraw();
    virtual RECT getWindowRect();
    virtual void moveWindow(const RECT& rect, bool repaint);
    virtual Placement getPlacement();
    virtual void setPlacement(const Placement& placement);
    virtual void showWindow(int showCommand);
    // Offers the message to the attached children; see offerToChildren.
    virtual LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Registers the window handle with the parent so that it is offered messages.
    virtual void attach();

    HWND handle() const { return hwnd; }
    int itemId() const { return id; }
    HINSTANCE module() const { return instance; }
    HWND parentHandle() const { return parentHwnd; }
    // The parent's window exists now (its dialog received WM_INITDIALOG).
    void setParentHandle(HWND handle) { parentHwnd = handle; }

protected:
    // Walks the attached children in handle order. A result other than 0 or 1
    // is a value for the system (a brush, custom-draw flags) and is returned at
    // once; results 0 and 1 are or-ed.
    LRESULT offerToChildren(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void registerWithParent();
    void unregisterFromParent();
    const std::set<Window*>& childObjects() const { return children; }

    Window* parent;
    int id;
    HWND hwnd = nullptr;
    HWND parentHwnd;
    HINSTANCE instance;

private:
    std::set<Window*> children;
    std::map<HWND, Window*> childByHandle;
    HWND registeredHandle = nullptr;
};
