#include "UnrarDestination.h"

#include "platform/PanelPresenter.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/StringTables.h"

#include <QFileInfo>

QString UnrarDestination::askForFolder() {
    PanelPresenter* panels = PanelPresenter::current();
    if (panels == nullptr)
        return QString();
    return panels->chooseFolder(StringTables::localized(QStringLiteral("SelectUnrarDestTitle")),
                                StringTables::localized(QStringLiteral("SelectUnrarPrompt")));
}

QString UnrarDestination::fixedFolder() {
    const QString folder = Preferences::stringForKey(PrefKey::UnrarDestinationFolder);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

std::optional<QString> UnrarDestination::forNewExtraction() {
    const int determination = Preferences::integerForKey(PrefKey::UnrarDestinationDetermination);
    if (determination == DestinationValue::AskEachTime &&
        !Preferences::boolForKey(PrefKey::UnattendedOperation)) {
        QString folder = askForFolder();
        if (folder.isNull())
            return std::nullopt;
        return folder;
    }
    if (determination == DestinationValue::FixedFolder)
        return fixedFolder();
    return QString();
}
