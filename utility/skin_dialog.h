// SkinDialog: a dialog whose face is a bitmap that it draws itself on every erase of the
// background, which the user can drag by a left-button press handed to it, and which can fit its
// window to the bitmap.
#pragma once

#include "platform/appframework/framework.h"

class SkinDialog : public CDialog {
public:
    /// How the bitmap is laid on the client area.
    enum BackgroundMode {
        BackgroundCopy = 0,       // the bitmap's top-left part, of the client size, at (0, 0)
        BackgroundTile = 1,       // repeated from the top-left corner, row by row
        BackgroundCenter = 2,     // centred on the client area
        BackgroundStretch = 3,    // stretched over the whole client area
        BackgroundFitWindow = 4,  // as BackgroundCopy; setting it resizes the window to the bitmap
    };

    /// As the framework dialog, with no bitmap, mode BackgroundCopy and dragging on.
    SkinDialog(UINT templateId, CWnd* parent);
    /// Deletes the bitmap, if any.
    ~SkinDialog() override;

    /// Replaces the background, taking ownership of `bitmap` (null clears it; TRUE). FALSE when
    /// the bitmap's description cannot be read: it is deleted and the background is empty.
    BOOL SetBackgroundBitmap(HBITMAP bitmap);
    /// Loads bitmap resource `id` of the program and makes it the background; a resource that
    /// cannot be loaded clears the background.
    BOOL LoadBackgroundBitmap(UINT id);
    /// Chooses the mode; BackgroundFitWindow with a bitmap present resizes the window to it.
    void SetBackgroundMode(int mode);
    /// Whether presses handed to OnLButtonDown drag the window.
    void EnableDrag(BOOL enable);
    BOOL OnInitDialog() override;

    HBITMAP BackgroundBitmap() const { return m_hBackground; }
    int BackgroundMode() const { return m_nBackgroundMode; }

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int width, int height);

    BOOL m_bDraggable = TRUE;
    HBITMAP m_hBackground = nullptr;
    CSize m_sizeBackground;  // valid while m_hBackground is non-null
    int m_nBackgroundMode = BackgroundCopy;

    DECLARE_MESSAGE_MAP()
};
