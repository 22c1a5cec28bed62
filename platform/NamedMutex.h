#pragma once
// A lock shared by the user's processes, found by name, held until the owner gives it up or exits.

#include <QString>
#include <memory>

namespace platform {

class NamedMutex
{
public:
    // "Open": true when some process (another one, or this one through another object) holds it.
    static bool IsHeld(const QString& name);

    // "Create": takes the lock and holds it; isHeld() tells whether that worked.
    explicit NamedMutex(const QString& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    bool isHeld() const;
    // "Give up": releases the lock; a relaunched copy can take it at once.
    void release();

private:
    struct Impl; // NamedMutex_linux.cpp: flock()
    std::unique_ptr<Impl> m_impl;
};

} // namespace platform
