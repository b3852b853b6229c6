// SPDX-License-Identifier: MIT
#pragma once

// Ways to make file operations fail that hold for root too, who ignores permissions.

#include <QtGlobal>

#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

// While it lives, the process acts as the user "nobody" when it is root, so that a folder
// without write bits cannot be written. Not root: nothing to do.
class AsUnprivilegedUser
{
public:
    AsUnprivilegedUser()
        : m_switched(::geteuid() == 0 && ::setegid(groupId()) == 0 && ::seteuid(userId()) == 0)
    {
    }
    ~AsUnprivilegedUser()
    {
        if (m_switched && (::seteuid(0) != 0 || ::setegid(0) != 0))
            qFatal("cannot become root again");
    }
    Q_DISABLE_COPY_MOVE(AsUnprivilegedUser)

    [[nodiscard]] static bool isValid() { return ::geteuid() != 0; }
    // The account taken, so that files can be given to it beforehand.
    [[nodiscard]] static uid_t userId()
    {
        return ::getpwnam("nobody") ? ::getpwnam("nobody")->pw_uid : 65534;
    }
    [[nodiscard]] static gid_t groupId()
    {
        return ::getpwnam("nobody") ? ::getpwnam("nobody")->pw_gid : 65534;
    }

private:
    const bool m_switched;
};

// While it lives, no file of the process may grow beyond `bytes`; writes past it fail
// with "File too large" instead of raising a signal.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes) : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        rlimit limit{};
        m_valid = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        limit = m_old;
        limit.rlim_cur = bytes;
        m_valid = m_valid && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_valid)
            ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

    [[nodiscard]] bool isValid() const { return m_valid; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
    bool m_valid = false;
};
