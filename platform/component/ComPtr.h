// ComPtr: an owning smart pointer for reference-counted component interfaces.
//
// Contract
//   A ComPtr owns one reference: copying adds one, destruction and reset() give it back.
//   ComPtr(T*) adds a reference of its own; adopt(T*) takes over one the caller already holds.
//   as<U>() asks the object for interface U (U::kIid) and returns an empty ComPtr if it has none.
#pragma once

#include "Unknown.h"

#include <cstddef>
#include <utility>

namespace component {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    explicit ComPtr(T* object) noexcept : m_object(object)
    {
        if (m_object)
            m_object->addRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.m_object) {}
    ComPtr(ComPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }

    static ComPtr adopt(T* object) noexcept
    {
        ComPtr result;
        result.m_object = object;
        return result;
    }

    void reset() noexcept
    {
        if (T* object = std::exchange(m_object, nullptr))
            object->release();
    }

    // Gives up ownership of the reference without releasing it.
    T* detach() noexcept { return std::exchange(m_object, nullptr); }

    T* get() const noexcept { return m_object; }
    T* operator->() const noexcept { return m_object; }
    explicit operator bool() const noexcept { return m_object != nullptr; }
    bool operator==(const ComPtr& other) const noexcept { return m_object == other.m_object; }

    template <class U>
    ComPtr<U> as() const noexcept
    {
        void* raw = nullptr;
        if (!m_object || failed(m_object->queryInterface(U::kIid, &raw)))
            return {};
        return ComPtr<U>::adopt(static_cast<U*>(raw));
    }

private:
    T* m_object = nullptr;
};

}  // namespace component
