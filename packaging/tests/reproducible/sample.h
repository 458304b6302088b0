// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class Sample : public QObject {
    Q_OBJECT
public:
    // Where this file was compiled from, as assertions and log lines see it.
    [[nodiscard]] static QString origin();
signals:
    void changed();
};
