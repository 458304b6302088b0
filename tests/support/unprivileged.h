// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <functional>

// Runs work as a user with no rights to other users' files and returns what it returned. Run as
// root (where every permission check passes), it runs in a child process that has become
// "nobody"; otherwise it runs here, as the user the tests already are.
QByteArray runUnprivileged(const std::function<QByteArray()> &work);
