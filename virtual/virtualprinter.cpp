// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/virtualprinter.h"

#include "virtual/statefile.h"

namespace kr52::virt {

VirtualPrinter::VirtualPrinter(QObject *parent) : QObject(parent) {}

QString VirtualPrinter::useStateFile(const QString &path)
{
    const StateLoad loaded = loadState(path);
    if (!loaded.switches)
        return loaded.error;
    m_statePath = path;
    m_switches = *loaded.switches;
    emit switchesChanged();
    return {};
}

void VirtualPrinter::setSwitches(const SwitchBank &switches)
{
    m_switches = switches;
    save();
    emit switchesChanged();
}

void VirtualPrinter::save()
{
    if (m_statePath.isEmpty())
        return;
    if (const QString error = saveState(m_statePath, m_switches); !error.isEmpty())
        emit stateNotSaved(error + QStringLiteral("; the switches are kept in memory only"));
}

void VirtualPrinter::receive(QByteArrayView bytes)
{
    SwitchBank saved = m_switches;
    // Stores what the commands so far have changed, as the printer does before it prints.
    const auto storeChanges = [&] {
        if (m_switches == saved)
            return;
        saved = m_switches;
        save();
        emit switchesChanged();
    };
    for (const StreamEvent &event : m_parser.feed(bytes)) {
        switch (event.kind) {
        case StreamEvent::Kind::SwitchBits: {
            const quint16 old = m_switches.value(event.switchIndex);
            m_switches.apply(event.switchIndex, event.set, event.mask);
            emit commandApplied(QStringLiteral("%1 %2 on switch %3: %4 -> %5")
                                    .arg(event.set ? QStringLiteral("set") : QStringLiteral("clear"),
                                         hexWord(event.mask), QString(QLatin1Char(designatorOf(event.switchIndex))),
                                         hexWord(old), hexWord(m_switches.value(event.switchIndex))));
            break;
        }
        case StreamEvent::Kind::SelfTest:
            storeChanges();
            emit selfTestPrinted(SelfTestPage::of(m_switches));
            break;
        case StreamEvent::Kind::Ignored:
            emit bytesIgnored(event.ignoredReport());
            break;
        }
    }
    storeChanges();
}

} // namespace kr52::virt
