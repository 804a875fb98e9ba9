#pragma once

#include "Window_win.h"

#include <windows.h>

#include <string>

// How a control follows its dialog's size, horizontally or vertically.
enum Anchor {
    AnchorNone = 0,    // keeps position and size
    AnchorStretch = 1, // grows and shrinks with the dialog
    AnchorMove = 2,    // keeps its distance to the right or bottom edge
};

// A child control of a dialog, bound by its item id (or a window the control
// makes itself, id -1). It follows the dialog's size through its anchors and
// can take over the control's window procedure (subclass).
class Control : public Window {
public:
    Control(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor);
    // For a control that creates its own window when attached.
    Control(Window& parent, Anchor hAnchor, Anchor vAnchor);
    ~Control() override;

    // WM_SIZE of the dialog lays the control out first.
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void attach() override;

    // The string resource (empty when missing).
    virtual void setText(int stringId);
    virtual void setText(const std::wstring& newText);
    virtual const std::wstring& getText();
    // The control's window rectangle, its bottom moved to where the control's
    // text ends when wrapped at the control's width in the control's font.
    virtual void fitTextHeight(RECT& rect);
    // The procedure while subclassed: by default the control's own.
    virtual LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Routes the control's messages through windowProc.
    void subclass();
    // Moves and sizes the control after the dialog's client area changed.
    void layout();

    // The procedure that the system calls for every subclassed control.
    static LRESULT CALLBACK controlProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);

protected:
    std::wstring text;
    Anchor hAnchor;
    Anchor vAnchor;
    WNDPROC savedProc = nullptr;
    RECT layoutRect{};
};
