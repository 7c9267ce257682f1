// LazyWindow: a companion window the main window builds the first time it is
// used, so that a start shows the main window without paying for the others.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <utility>

template <typename Window> class LazyWindow {
public:
    explicit LazyWindow(QWidget* parent)
        : parent_(parent)
    {
    }
    LazyWindow(const LazyWindow&) = delete;
    LazyWindow& operator=(const LazyWindow&) = delete;

    // Used like the pointer it stands for: the first use builds the window.
    Window* operator->() const { return &get(); }
    Window& operator*() const { return get(); }
    Window& get() const
    {
        if (!window_) {
            window_ = new Window(parent_);
            if (wire_)
                wire_(*window_);
        }
        return *window_;
    }
    // Runs once, right after the window is built (its signals to the owner).
    void onBuilt(std::function<void(Window&)> wire) { wire_ = std::move(wire); }
    // The window if it was built, else null; never builds it.
    Window* built() const { return window_; }

private:
    QWidget* parent_;
    std::function<void(Window&)> wire_;
    // Owned by the parent; cleared if Qt deletes it first.
    mutable QPointer<Window> window_;
};
