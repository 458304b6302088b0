// SPDX-License-Identifier: GPL-3.0-or-later
#include "portdialog/deviceline.h"

#include "portdialog/devicechooser.h"
#include "printer/devicelinetext.h"
#include "printer/devicemap.h"
#include "printer/devicestate.h"
#include "ui/controls.h"
#include "ui/twips.h"
#include "ui/uifont.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

using namespace kr52;

namespace {

constexpr int pollMilliseconds = 1000;

// Long device paths have no blanks; a zero-width space after each "/" and "_" lets the line
// wrap inside a by-id name too.
QString breakablePaths(QString text)
{
    return text.replace(QLatin1Char('/'), QStringLiteral("/\u200B"))
        .replace(QLatin1Char('_'), QStringLiteral("_\u200B"));
}

} // namespace

DeviceLine::DeviceLine(QWidget *dialog, QComboBox *portList, int top)
    : QObject(dialog), m_dialog(dialog), m_ports(portList)
{
    m_line = makeLabel(dialog, QStringLiteral("labDevice"), QString(), uiFont());
    m_line->setWordWrap(true);
    m_line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_line->setTextFormat(Qt::PlainText);
    m_line->setAccessibleDescription(QStringLiteral("Device of the chosen port"));
    placeInTwips(m_line, 60, top + 390, 2172, 1170);

    m_choose = makeButton(dialog, QStringLiteral("comChooseDevice"), QStringLiteral("C&hoose Device..."),
                          QStringLiteral("Choose the device this port stands for"));
    placeInTwips(m_choose, 60, top, 2172, 312);

    m_poll.setInterval(pollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &DeviceLine::refresh);
    connect(m_ports, &QComboBox::currentIndexChanged, this, &DeviceLine::refresh);
    connect(m_choose, &QPushButton::clicked, this, &DeviceLine::chooseDevice);
    dialog->installEventFilter(this);
    refresh();
}

bool DeviceLine::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_dialog && event->type() == QEvent::Show) {
        refresh();
        m_poll.start();
    } else if (watched == m_dialog && event->type() == QEvent::Hide) {
        m_poll.stop();
    }
    return QObject::eventFilter(watched, event);
}

void DeviceLine::refresh()
{
    const QString port = m_ports->currentText();
    const DeviceMapping mapping = deviceMappingFor(port);
    const QString text = deviceLineText(port, mapping, deviceStatus(mapping.path, portKindOf(port)));
    if (m_line->toolTip() == text)
        return;
    m_line->setText(breakablePaths(text));
    m_line->setToolTip(text);
    // Read aloud as shown, without the break points. Both changes are told to assistive tools:
    // the line's own name, and the port list's description, which a screen reader speaks while
    // the list has the focus, so the device's words follow a change of port at once.
    m_line->setAccessibleName(text);
    m_ports->setAccessibleDescription(text);
}

void DeviceLine::chooseDevice()
{
    auto *chooser = new DeviceChooser(m_dialog, m_ports->currentText());
    connect(chooser, &QDialog::accepted, this, [this] {
        refresh();
        emit mappingChanged();
    });
    chooser->open();
}
