#pragma once

#include <QPointer>

#include <utility>

namespace qta::app {

// A dialog's answer reaches the window only while the window is there: the window may
// be closed and gone while the dialog is up.
template <typename Window, typename Step> auto whileOpen(Window* window, Step step) {
    return [window = QPointer<Window>(window), step = std::move(step)](const auto&... answer) {
        if (window)
            step(answer...);
    };
}

} // namespace qta::app
