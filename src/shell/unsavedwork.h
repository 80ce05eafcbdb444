#pragma once

namespace vordane {

// A tool window that may hold work the user has not saved: before the
// program ends, the main window asks it whether it may close.
class UnsavedWork {
public:
    virtual ~UnsavedWork() = default;
    // False when the user chose to keep the window open; otherwise the work
    // was saved, or the user chose to leave it.
    virtual bool confirmClose() = 0;
};

} // namespace vordane
