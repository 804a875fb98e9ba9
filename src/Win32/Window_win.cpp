#include "Window_win.h"

Window::Window(Window* parent, int id, HINSTANCE instance, HWND parentHwnd)
    : parent(parent), id(id), parentHwnd(parent ? parent->hwnd : parentHwnd),
      instance(parent ? parent->instance : instance) {
    if (parent) {
        parent->children.insert(this);
    }
}

Window::~Window() {
    unregisterFromParent();
    if (parent) {
        parent->children.erase(this);
    }
}

void Window::hide() {
    ShowWindow(hwnd, SW_HIDE);
}

void Window::show() {
    ShowWindow(hwnd, SW_SHOW);
}

void Window::setFocus() {
    SetFocus(hwnd);
}

void Window::enable(bool enabled) {
    EnableWindow(hwnd, enabled);
}

void Window::disable() {
    EnableWindow(hwnd, FALSE);
}

void Window::redraw() {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_INVALIDATE);
}

RECT Window::getWindowRect() {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

void Window::moveWindow(const RECT& rect, bool repaint) {
    MoveWindow(hwnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
}

Placement Window::getPlacement() {
    WINDOWPLACEMENT system{};
    system.length = sizeof(system);
    GetWindowPlacement(hwnd, &system);
    return Placement{system.rcNormalPosition, static_cast<int>(system.showCmd)};
}

void Window::setPlacement(const Placement& placement) {
    WINDOWPLACEMENT system{};
    system.length = sizeof(system);
    system.rcNormalPosition = placement.normal;
    system.showCmd = static_cast<UINT>(placement.showCommand);
    SetWindowPlacement(hwnd, &system);
}

void Window::showWindow(int showCommand) {
    ShowWindow(hwnd, showCommand);
}

LRESULT Window::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return offerToChildren(window, message, wParam, lParam);
}

void Window::attach() {
    registerWithParent();
}

LRESULT Window::offerToChildren(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT combined = 0;
    for (const auto& [childHandle, child] : childByHandle) {
        LRESULT result = child->handleMessage(window, message, wParam, lParam);
        if (result != 0 && result != 1) {
            return result;
        }
        combined |= result;
    }
    return combined;
}

void Window::registerWithParent() {
    // A child dialog made before its parent's window exists has no handle yet:
    // it is offered nothing until it has one.
    if (!parent || !hwnd) {
        return;
    }
    unregisterFromParent();
    parent->childByHandle[hwnd] = this;
    registeredHandle = hwnd;
}

void Window::unregisterFromParent() {
    if (parent && registeredHandle) {
        auto found = parent->childByHandle.find(registeredHandle);
        if (found != parent->childByHandle.end() && found->second == this) {
            parent->childByHandle.erase(found);
        }
    }
    registeredHandle = nullptr;
}
