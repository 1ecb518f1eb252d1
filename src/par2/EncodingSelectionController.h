#pragma once

#include "par2/DecodedString.h"

#include <QList>
#include <memory>

class DocumentWindowInterface;
class VLMEncodingSelectionControllerDelegate;

// Lets the user pick the character set of the names stored in a PAR 2 file
// when they read differently in different character sets. It finds the name
// whose readings differ most, and shows those readings in a sheet
// (EncodingSelectionSheet). Main thread only.
class EncodingSelectionController
    : public std::enable_shared_from_this<EncodingSelectionController> {
public:
    static constexpr int kReturnOK = 1;
    static constexpr int kReturnCancel = 0;
    static inline const QString kEncodingColumn = QStringLiteral("ENCODING");
    static inline const QString kFilenameColumn = QStringLiteral("FILENAME");

    // Held weakly: the delegate clears itself before it goes.
    void setDelegate(VLMEncodingSelectionControllerDelegate* delegate) { m_delegate = delegate; }
    VLMEncodingSelectionControllerDelegate* delegate() const { return m_delegate; }

    // False when no name is decodable. Otherwise true: with one reading the
    // delegate is told at once; with more the sheet is shown after the current
    // event and the delegate is told when it ends.
    bool doItForStringObjs(const QList<QByteArray>& names, DocumentWindowInterface* window);
    // The same with the readings chooseSamples gave (which may run on any thread).
    // namesAreUtf8 preselects UTF-8 (FilenameEncodings::storedAsUtf8 of the names).
    bool doItForSamples(QList<DecodedString> samples, DocumentWindowInterface* window,
                        bool namesAreUtf8 = false);

    // The different readings of one name, each with the first candidate
    // character set that gives it.
    static QList<DecodedString> candidatesFor(const QByteArray& name);
    // The readings of the name with the most of them (the longer name on a tie).
    static QList<DecodedString> chooseSamples(const QList<QByteArray>& names);
    const QList<DecodedString>& stringSamples() const { return mStringSamples; }

    // For the sheet: the row selected when it appears (the stored preference's
    // character set, else the first row), and the table's content.
    int windowDidLoad() const;
    int numberOfRowsInTableView() const { return int(mStringSamples.size()); }
    QString tableViewObjectValue(const QString& column, int row) const;
    // Code 1 takes the row's character set and stores it as the preference;
    // any other code gives the default.
    void sheetDidEnd(int returnCode, int selectedRow);

private:
    void showSheet(DocumentWindowInterface* window);
    void tellDelegate(int returnCode, uint32_t encoding);

    VLMEncodingSelectionControllerDelegate* m_delegate = nullptr;
    QList<DecodedString> mStringSamples;
    bool mNamesAreUtf8 = false;
};
