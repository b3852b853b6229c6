// SPDX-License-Identifier: MIT
#pragma once

// Ways to make file operations fail that hold for root too, who ignores permissions.

#include <QFile>
#include <QString>

#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// While it lives, the process acts as the user "nobody" when it is root, so that a
// folder without write bits cannot be written. Not root: nothing to do.
class AsUnprivilegedUser
{
public:
    AsUnprivilegedUser()
    {
        if (::geteuid() != 0)
            return;
        m_switched = ::setegid(groupId()) == 0 && ::seteuid(userId()) == 0;
        m_valid = m_switched;
    }
    ~AsUnprivilegedUser()
    {
        if (m_switched) {
            [[maybe_unused]] const int uid = ::seteuid(0);
            [[maybe_unused]] const int gid = ::setegid(0);
        }
    }
    AsUnprivilegedUser(const AsUnprivilegedUser &) = delete;
    AsUnprivilegedUser &operator=(const AsUnprivilegedUser &) = delete;

    [[nodiscard]] bool isValid() const { return m_valid; }

    // The account taken, so that files can be given to it beforehand.
    [[nodiscard]] static uid_t userId()
    {
        const passwd *nobody = ::getpwnam("nobody");
        return nobody ? nobody->pw_uid : 65534;
    }
    [[nodiscard]] static gid_t groupId()
    {
        const passwd *nobody = ::getpwnam("nobody");
        return nobody ? nobody->pw_gid : 65534;
    }

private:
    bool m_switched = false;
    bool m_valid = true;
};

// While it lives, no file of the process may grow beyond `bytes`; writes past it fail
// with "File too large" instead of raising a signal.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_valid = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        if (m_valid) {
            rlimit limit = m_old;
            limit.rlim_cur = bytes;
            m_valid = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        }
    }
    ~FileSizeLimit()
    {
        if (m_valid)
            ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    [[nodiscard]] bool isValid() const { return m_valid; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_valid = false;
};

inline bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}
