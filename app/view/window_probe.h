#pragma once

#include <memory>
#include <string>

#include "app/main_window.h"
#include "platform/files.h"

namespace quendro::view {

// The real window driven as a user would, for measuring what the user waits
// for; its header needs no Qt, so that a benchmark can use it.
class WindowProbe {
  public:
    // Makes the application (under whatever platform QT_QPA_PLATFORM names)
    // when there is none yet.
    static void ensureApplication();

    // Shows the window of the model and lets it paint once.
    WindowProbe(MainWindow& model, FileSystem& files);
    ~WindowProbe();
    WindowProbe(const WindowProbe&) = delete;
    WindowProbe& operator=(const WindowProbe&) = delete;

    // Replaces the number box's text as typing would (its change runs the
    // search), then paints the competitor list.
    void typeNumber(const std::u16string& text);
    // Rows the competitor list shows.
    int competitorRows() const;

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace quendro::view
