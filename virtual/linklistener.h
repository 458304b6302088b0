// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>

namespace kr52::virt {

// The printer's end of a link: the master side of a pseudo-terminal (the serial link, whose
// slave device the utility opens as its port), or a FIFO (the parallel link). Whatever arrives is
// handed on by received(), in the order it came.
class LinkListener : public QObject {
    Q_OBJECT

public:
    ~LinkListener() override;

    // Both return nothing and set error, naming the device and the system's reason, on failure.
    [[nodiscard]] static std::unique_ptr<LinkListener> openPseudoTerminal(QString &error);
    // Makes the FIFO when path does not exist; refuses anything else that is not a FIFO.
    [[nodiscard]] static std::unique_ptr<LinkListener> openFifo(const QString &path, QString &error);

    // The path the utility writes to.
    [[nodiscard]] QString devicePath() const { return m_path; }

    // Reads what is waiting now; received() is emitted for it. The event loop calls this too.
    void readAvailable();

signals:
    void received(const QByteArray &bytes);
    // The link failed for good; nothing more will arrive.
    void failed(const QString &message);

private:
    LinkListener(int readFd, int keeperFd, const QString &path);

    int m_fd;
    int m_keeper; // keeps the other side open, so the link stays up between the utility's opens
    QString m_path;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace kr52::virt
