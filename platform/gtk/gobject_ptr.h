// Owning references to GObjects and GLib allocations, so that every native object the
// backend holds is released on every path.
#pragma once

#include "gtk_toolkit.h"

#include <utility>

namespace platform::desktop {

template <class T>
class GObjectPtr {
public:
    GObjectPtr() = default;
    GObjectPtr(const GObjectPtr& other) : object_(other.object_) {
        if (object_) g_object_ref(object_);
    }
    GObjectPtr(GObjectPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GObjectPtr& operator=(GObjectPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~GObjectPtr() { reset(); }

    // Takes over a reference the caller already owns (a "transfer full" result).
    static GObjectPtr Adopt(T* object) {
        GObjectPtr p;
        p.object_ = object;
        return p;
    }
    // Adds a reference of our own; a floating reference (a new widget) is sunk, so the
    // object stays alive after its container lets it go.
    static GObjectPtr Retain(T* object) {
        GObjectPtr p;
        if (object) p.object_ = static_cast<T*>(g_object_ref_sink(object));
        return p;
    }

    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset() {
        if (T* object = std::exchange(object_, nullptr)) g_object_unref(object);
    }

private:
    T* object_ = nullptr;
};

// A string allocated by GLib (g_free).
class GCharPtr {
public:
    explicit GCharPtr(char* text = nullptr) : text_(text) {}
    GCharPtr(const GCharPtr&) = delete;
    GCharPtr& operator=(const GCharPtr&) = delete;
    ~GCharPtr() { g_free(text_); }
    const char* get() const { return text_; }
    explicit operator bool() const { return text_ != nullptr; }

private:
    char* text_;
};

}  // namespace platform::desktop
