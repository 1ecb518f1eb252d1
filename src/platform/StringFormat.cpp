#include "StringFormat.h"

#include <QDir>

namespace {

struct Conversion {
    int position = -1; // explicit 1-based argument number, or -1
    int precision = -1;
    QChar kind;
    qsizetype end = 0; // index just past the conversion
};

bool isLengthModifier(QChar c) {
    return c == QLatin1Char('l') || c == QLatin1Char('h') || c == QLatin1Char('q') ||
           c == QLatin1Char('z');
}

int readNumber(const QString& format, qsizetype& i) {
    int value = 0;
    while (i < format.size() && format[i].isDigit())
        value = value * 10 + format[i++].digitValue();
    return value;
}

Conversion parseConversion(const QString& format, qsizetype i) {
    Conversion conversion;
    const qsizetype start = i;
    const int number = readNumber(format, i);
    if (i < format.size() && format[i] == QLatin1Char('$') && i > start) {
        conversion.position = number;
        ++i;
    } else {
        i = start;
    }
    while (i < format.size() && (format[i] == QLatin1Char('-') || format[i] == QLatin1Char('0')))
        ++i;
    readNumber(format, i);
    if (i < format.size() && format[i] == QLatin1Char('.')) {
        ++i;
        conversion.precision = readNumber(format, i);
    }
    while (i < format.size() && isLengthModifier(format[i]))
        ++i;
    conversion.kind = i < format.size() ? format[i] : QChar();
    conversion.end = i + 1;
    return conversion;
}

QString render(const Conversion& conversion, const QVariant& argument) {
    switch (conversion.kind.unicode()) {
    case 'd':
    case 'i':
        return QString::number(argument.toLongLong());
    case 'u':
        return QString::number(argument.toULongLong());
    case 'x':
        return QString::number(argument.toULongLong(), 16);
    case 'X':
        return QString::number(argument.toULongLong(), 16).toUpper();
    case 'f':
        return QString::number(argument.toDouble(), 'f',
                               conversion.precision < 0 ? 6 : conversion.precision);
    case 'c':
        return QString(QChar(argument.toInt()));
    default:
        return argument.toString();
    }
}

} // namespace

QString formatString(const QString& format, const QVariantList& arguments) {
    QString result;
    result.reserve(format.size());
    int nextArgument = 0;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            result.append(c);
            ++i;
            continue;
        }
        if (format[i + 1] == QLatin1Char('%')) {
            result.append(QLatin1Char('%'));
            i += 2;
            continue;
        }
        const Conversion conversion = parseConversion(format, i + 1);
        const int index = conversion.position > 0 ? conversion.position - 1 : nextArgument++;
        if (index < arguments.size())
            result.append(render(conversion, arguments[index]));
        i = conversion.end;
    }
    return result;
}

QString pathForDisplay(const QString& path) {
    const QString home = QDir::homePath();
    if (home.size() > 1 && (path == home || path.startsWith(home + u'/')))
        return u'~' + path.mid(home.size());
    return path;
}
