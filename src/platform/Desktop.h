#pragma once
// What the window system last told us about the game's window, whichever
// backend reports it (GLFW's callbacks on the desktop, the page's events in
// a browser). The platform writes it while events are polled; the frame loop
// follows it right after its poll and clears the flags it has followed.

struct Desktop {
    int framebufferWidth = 0;    // size last reported, in pixels; 0 x 0 while minimised on some systems
    int framebufferHeight = 0;
    bool resized = false;        // a size the frame loop has not followed yet
    bool focused = true;         // keys and the mouse come to this window (in a browser: the pointer is locked)
    bool focusChanged = false;   // a change the frame loop has not followed yet
    bool iconified = false;      // minimised (in a browser: a hidden tab, or paused by Escape)
    bool pointerEntered = false; // the pointer came over the window; the frame loop has not followed yet

    // Nobody sees the window, or it has no pixels: no frame is drawn.
    bool paused() const { return iconified || framebufferWidth <= 0 || framebufferHeight <= 0; }
};
