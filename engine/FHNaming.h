#ifndef FHNAMING_H
#define FHNAMING_H

#include <QString>

// Replaces the naming keywords ${NUM}, ${YYYY}, ${mm}, ${DD}, ${HH}, ${MM} and
// ${SS} in place and returns the same text.
QString &expandNamePattern(QString &pattern, int number, int year, int month, int day, int hour,
                           int minute, int second);

#endif // FHNAMING_H
