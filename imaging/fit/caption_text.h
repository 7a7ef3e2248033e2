#pragma once
// What a photo's caption says: the day it was taken in the user's long date
// form (without the weekday), the folder it lies in, or both.
#include "imaging/codec/exif.h"

#include <QLocale>
#include <QString>

#include <string>
#include <string_view>

// The Caption setting's values; anything else shows no caption.
enum CaptionMode : int { kCaptionNone = 0, kCaptionDate = 1, kCaptionDateAndFolder = 2, kCaptionFolder = 3 };

inline bool CaptionShowsDate(int mode) { return mode == kCaptionDate || mode == kCaptionDateAndFolder; }
inline bool CaptionShowsFolder(int mode) { return mode == kCaptionDateAndFolder || mode == kCaptionFolder; }

// A long date pattern of Qt's form ("dddd, d MMMM yyyy") without its weekday
// and the separators that joined the weekday to the rest ("d MMMM yyyy").
std::string DateFormatWithoutWeekday(std::string_view pattern);

// The day in `locale`'s long form without the weekday: "12 March 2019",
// "March 12, 2019", "12. März 2019". Empty for a day that does not exist.
QString LongDateText(const TakenDate& date, const QLocale& locale);

struct CaptionParts {
    QString date;     // empty: no date part
    QString folder;   // empty: no folder part
    bool Empty() const { return date.isEmpty() && folder.isEmpty(); }
};

// Between the date and the folder when both are shown.
inline const QString kCaptionSeparator = QStringLiteral(" \u00B7 ");
