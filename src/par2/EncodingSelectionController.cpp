#include "EncodingSelectionController.h"

#include "par2/EncodingSelectionSheet.h"
#include "par2/FilenameEncodings.h"
#include "par2/VLMEncodingSelectionControllerDelegate.h"
#include "platform/MainThread.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

bool EncodingSelectionController::doItForStringObjs(const QList<QByteArray>& names,
                                                    DocumentWindowInterface* window) {
    return doItForSamples(chooseSamples(names), window, FilenameEncodings::storedAsUtf8(names));
}

bool EncodingSelectionController::doItForSamples(QList<DecodedString> samples,
                                                 DocumentWindowInterface* window,
                                                 bool namesAreUtf8) {
    mStringSamples = std::move(samples);
    mNamesAreUtf8 = namesAreUtf8;
    if (mStringSamples.isEmpty())
        return false;
    if (mStringSamples.size() == 1) {
        tellDelegate(kReturnOK, mStringSamples.first().getEncoding());
        return true;
    }
    MainThread::post([weak = weak_from_this(), window] {
        if (auto self = weak.lock(); self && self->m_delegate)
            self->showSheet(window);
    });
    return true;
}

// A set of many plain names would otherwise convert each name in every
// character set and compare the results, on the way to every run.
QList<DecodedString> EncodingSelectionController::candidatesFor(const QByteArray& name) {
    QList<DecodedString> candidates;
    if (FilenameEncodings::readsAlikeInEvery(name)) {
        if (std::optional<DecodedString> decoded = DecodedString::decodedStringFromEncoding(
                FilenameEncodings::gUsedEncodings.front().identifier, name))
            candidates.append(*decoded);
        return candidates;
    }
    for (const FilenameEncodings::Entry& entry : FilenameEncodings::gUsedEncodings) {
        std::optional<DecodedString> decoded =
            DecodedString::decodedStringFromEncoding(entry.identifier, name);
        if (decoded && !candidates.contains(*decoded))
            candidates.append(*decoded);
    }
    return candidates;
}

QList<DecodedString> EncodingSelectionController::chooseSamples(const QList<QByteArray>& names) {
    QList<DecodedString> samples;
    qsizetype referenceBytes = 0;
    for (const QByteArray& name : names) {
        QList<DecodedString> candidates = candidatesFor(name);
        if (candidates.size() > samples.size() ||
            (candidates.size() == samples.size() && name.size() > referenceBytes)) {
            samples = std::move(candidates);
            referenceBytes = name.size();
        }
    }
    return samples;
}

// Without a sheet (no window layer) the initial row is taken as chosen.
void EncodingSelectionController::showSheet(DocumentWindowInterface* window) {
    if (EncodingSelectionSheet* sheet = EncodingSelectionSheet::current())
        sheet->beginSheet(shared_from_this(), window);
    else
        sheetDidEnd(kReturnOK, windowDidLoad());
}

int EncodingSelectionController::windowDidLoad() const {
    for (int row = 0; mNamesAreUtf8 && row < mStringSamples.size(); ++row) {
        if (mStringSamples[row].getEncoding() == FilenameEncodings::kUtf8Encoding)
            return row;
    }
    if (!Preferences::contains(PrefKey::PrefFilenameEncoding))
        return 0;
    const uint32_t preferred = uint32_t(Preferences::integerForKey(PrefKey::PrefFilenameEncoding));
    for (int row = 0; row < mStringSamples.size(); ++row) {
        if (mStringSamples[row].getEncoding() == preferred)
            return row;
    }
    return 0;
}

QString EncodingSelectionController::tableViewObjectValue(const QString& column, int row) const {
    if (row < 0 || row >= mStringSamples.size())
        return QString();
    if (column == kEncodingColumn)
        return FilenameEncodings::localizedName(mStringSamples[row].getEncoding());
    if (column == kFilenameColumn)
        return mStringSamples[row].getString();
    return QString();
}

// OK without a selected row keeps the default, like a cancel would.
void EncodingSelectionController::sheetDidEnd(int returnCode, int selectedRow) {
    uint32_t encoding = FilenameEncodings::kDefaultEncoding;
    if (returnCode == kReturnOK && selectedRow >= 0 && selectedRow < mStringSamples.size()) {
        encoding = mStringSamples[selectedRow].getEncoding();
        Preferences::setInteger(PrefKey::PrefFilenameEncoding, int(encoding));
    }
    tellDelegate(returnCode, encoding);
}

void EncodingSelectionController::tellDelegate(int returnCode, uint32_t encoding) {
    // The delegate usually drops this controller while it is being told.
    const std::shared_ptr<EncodingSelectionController> keepAlive = weak_from_this().lock();
    if (m_delegate)
        m_delegate->encodingSelectionController(this, returnCode, encoding);
}
