// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's profiles: the menu in the tab row's corner, opening and saving.
#include "shell/frmMain.h"

#include "app/appinfo.h"
#include "app/profilefolder.h"
#include "printer/mscomm.h"
#include "printer/portkinds.h"
#include "printer/profileport.h"
#include "settings/profile.h"
#include "settings/profilechoices.h"
#include "settings/profilewriter.h"
#include "ui/filedialog.h"
#include "ui/messagebox.h"
#include "ui/uifont.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <QSaveFile>
#include <QToolButton>

using namespace kr52;

namespace {

const QString openTitle = QStringLiteral("Open Profile");
const QString saveTitle = QStringLiteral("Save Profile");

// Which program wrote the profile, and when, with the offset so that the time reads anywhere.
QString writtenBy()
{
    const QDateTime now = QDateTime::currentDateTime();
    return QStringLiteral("Saved by kr52-config %1 on %2")
        .arg(versionText(), now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate));
}

void rememberFolderOf(const QString &path, QWidget *parent)
{
    if (const QString why = rememberProfileFolder(QFileInfo(path).absolutePath()); !why.isEmpty())
        showMessage(applicationTitle(),
                    QStringLiteral("The profile's folder will not be offered next time: %1").arg(why),
                    QMessageBox::Warning, parent);
}

} // namespace

void frmMain::buildProfileMenu()
{
    auto *open = new QAction(QStringLiteral("Open Profile..."), this);
    open->setObjectName(QStringLiteral("actOpenProfile"));
    open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    connect(open, &QAction::triggered, this, &frmMain::actOpenProfile_Triggered);
    auto *save = new QAction(QStringLiteral("Save Profile As..."), this);
    save->setObjectName(QStringLiteral("actSaveProfile"));
    save->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    connect(save, &QAction::triggered, this, &frmMain::actSaveProfile_Triggered);
    // The shortcuts work wherever the focus is in the window, menu open or not.
    addActions({open, save});

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("mnuProfile"));
    menu->setFont(uiFont()); // a menu is a window of its own and does not take the window's face
    menu->addActions({open, save});
    // The tab row's free corner: no control of the pages moves for it.
    auto *button = new QToolButton(SSTab1);
    button->setObjectName(QStringLiteral("comProfile"));
    button->setText(QStringLiteral("Profile"));
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    // As laid out, only the four action buttons carry tooltips; the menu names its keys.
    button->setAccessibleName(QStringLiteral("Profile"));
    button->setAccessibleDescription(
        QStringLiteral("Menu: Open Profile (Ctrl+O) shows a saved profile's settings; Save Profile As (Ctrl+S) saves "
                       "the chosen settings for more printers or kr52ctl apply."));
    SSTab1->setCornerWidget(button, Qt::TopRightCorner);
}

void frmMain::actOpenProfile_Triggered()
{
    const QString path = askForFile({FileRequest::Purpose::Open, openTitle, profileFolder(), {}}, this);
    if (!path.isEmpty() && openProfile(path))
        rememberFolderOf(path, this);
}

void frmMain::actSaveProfile_Triggered()
{
    const QString path =
        askForFile({FileRequest::Purpose::Save, saveTitle, profileFolder(), QStringLiteral("kr52-profile.ini")}, this);
    if (!path.isEmpty() && saveProfile(path))
        rememberFolderOf(path, this);
}

bool frmMain::openProfile(const QString &path)
{
    const auto refuse = [&](const QString &why) {
        showMessage(openTitle, why + QStringLiteral("\nThe profile was not opened; no setting was changed."),
                    QMessageBox::Warning, this);
        return false;
    };
    const ProfileResult read = readProfile(path);
    if (!read.profile)
        return refuse(read.error);
    const ProfileChoices choices = choicesOfProfile(*read.profile);
    if (!choices.error.isEmpty())
        return refuse(choices.error);
    if (const QString fault = serialValuesFault(read.profile->port, read.profile->portOrigins); !fault.isEmpty())
        return refuse(fault);
    buildSettingsPages();
    for (std::size_t row = 0; row < m_settingsLists.size(); ++row)
        m_settingsLists[row]->setCurrentIndex(choices.indexes[row]);
    if (choices.cutOffsetTenths)
        AdjustCutPosition(float(*choices.cutOffsetTenths) / 10.0f);
    return true;
}

bool frmMain::saveProfile(const QString &path)
{
    const auto fail = [&](const QString &why) {
        showMessage(saveTitle, why, QMessageBox::Warning, this);
        return false;
    };
    buildSettingsPages();
    // What is saved is what the box shows once the typed value is taken, as leaving it would.
    txtCutOffset_Validate();
    Profile profile = profileOfChoices(chosenIndexes(), txtCutOffset->text());
    if (m_cmode == LinkMode::Serial) {
        const PortKeys port = portKeysOfSerialSettings(MSComm1->settings());
        if (!port.error.isEmpty())
            return fail(QStringLiteral("Could not save the profile %1: %2").arg(path, port.error));
        profile.port = port.keys;
    }
    const ProfileText text = formatProfile(profile, writtenBy());
    if (!text.text)
        return fail(QStringLiteral("Could not save the profile %1: %2").arg(path, text.error));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*text.text) != text.text->size() || !file.commit())
        return fail(QStringLiteral("Could not save the profile %1: %2.").arg(path, file.errorString()));
    return true;
}
