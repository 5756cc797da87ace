#ifndef FHNAMEDATE_H
#define FHNAMEDATE_H

#include <QDateTime>
#include <QString>

// The date and time that phones, cameras and messengers put into file names:
// IMG_20190512_134501, PXL_20230101_123456789 (milliseconds dropped),
// VID_20200101_120000, 20190512_134501, Screenshot_2020-01-01-12-00-00,
// signal-2021-03-04-120000, 2019-05-12 13.45.01, WhatsApp Image 2020-01-01 at
// 12.00.00. A date alone (IMG-20190512-WA0001, 2019-05-12) means noon. Only
// the part after the last '/' is read, and the first date-like run in it
// decides: an impossible date or time there, or a year before 1990 or after
// next year, gives an invalid QDateTime. The result is local wall-clock time.
QDateTime dateFromFileName(const QString &name);

#endif // FHNAMEDATE_H
