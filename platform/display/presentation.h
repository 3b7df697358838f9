// The presentation: what shows the windows of the window system and feeds it input. One small
// interface with one implementation per backend (headless for tests and scripts; a real window
// backend elsewhere). The window system calls it; it never calls product code.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/user/session.h"

namespace yolt::display {

class Presentation {
public:
    virtual ~Presentation() = default;
    virtual const char* Name() const = 0;
    /// The window system has nothing to do: deliver input (through yolt::user::Inject*), run a
    /// scripted step, or let the machine's clock pass, at most until `deadlineMs` when given
    /// (the next timer). Returns false when nothing will ever come.
    virtual bool WaitForEvents(std::optional<uint64_t> deadlineMs) = 0;
    /// A top-level window was shown, hidden, moved, resized, repainted or minimised.
    virtual void WindowChanged(HWND) {}
    virtual void WindowDestroyed(HWND) {}
    virtual void CursorChanged(HCURSOR) {}
    /// A message box has been created and is about to run its modal loop.
    virtual void MessageBoxShown(const yolt::user::MessageBoxInfo&) {}
};

/// The presentation of this process, or null when none is set.
Presentation* CurrentPresentation();
/// Replaces the presentation (null removes it).
void SetPresentation(std::shared_ptr<Presentation> presentation);

}  // namespace yolt::display
