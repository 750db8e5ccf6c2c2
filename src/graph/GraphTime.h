#pragma once

#include <QDate>
#include <QTime>

// Times on a graph are the logger's local wall-clock time as it stamps its
// records: no time zone and no daylight saving, every day 86 400 s long.
// A graph counts them in seconds since 1 January 2000, 00:00:00, so a tick
// "on the hour" is a multiple of 3600 whatever the computer's zone does.
double GraphSeconds(QDate date, QTime time);

QDate GraphDate(double seconds);
QTime GraphTimeOfDay(double seconds);
