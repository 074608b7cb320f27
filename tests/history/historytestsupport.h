// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the history tests: sample entries, reading the database
// directly, and files as bytes.

#include "historystore.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <string>

namespace orvella::test {

// A calculation of the critical humidity with these input texts.
inline CalculationRecord feuchteRecord(const std::string& room, double roomNumber,
                                       const std::string& surface = "10", std::int64_t timeUtcMs = 1'760'000'000'000)
{
    CalculationRecord r;
    r.timeUtcMs = timeUtcMs;
    r.calculatorId = "frmFeuchte";
    r.window = "frmFeuchte";
    r.calculator = "Kritische Feuchte Calculator";
    r.programVersion = "1.1.0";
    r.inputs = {{"thetaR", "Raumtemperatur", "°C", "txRaum", room, roomNumber},
                {"thetaS", "Oberflächentemperatur", "°C", "txOberflaeche", surface, 10.0}};
    r.results = {{"phiK", "Oberflächenkondensation", "%", "txKondens", "52,57"},
                 {"phiS", "Schimmelpilzbildungsgefahr", "%", "txSchimel", "65,72"}};
    return r;
}

// A calculation of the sound power level from this pressure level text.
inline CalculationRecord schallRecord(const std::string& level, std::int64_t time)
{
    CalculationRecord r;
    r.timeUtcMs = time;
    r.calculatorId = "frmSchall.l";
    r.window = "frmSchall";
    r.calculator = "Schallleistung - Schalldruck";
    r.part = "Schallleistungspegel";
    r.programVersion = "1.1.0";
    r.inputs = {{"Lp", "Schalldruckpegel", "dB", "txPegel_l", level, 0.0},
                {"r", "Abstand", "m", "txAbstand_l", "4", 4.0}};
    r.results = {{"Lw", "Schallleistungspegel", "dB", "txLeistug_l", "79,53"}};
    return r;
}

// The keypad's "60 + 60 = 63".
inline CalculationRecord keypadRecord(std::int64_t time)
{
    CalculationRecord r;
    r.timeUtcMs = time;
    r.calculatorId = "frmCalculator";
    r.window = "frmCalculator";
    r.calculator = "dB Calculator";
    r.expression = "60 + 60 = 63";
    r.inputs = {{"operand1", "1. Pegel", "dB", "txtDisplay", "60", 60.0},
                {"operand2", "2. Pegel", "dB", "txtDisplay", "60", 60.0}};
    r.results = {{"result", "Ergebnis", "dB", "txtDisplay", " 63"}};
    return r;
}

// The first column of every row of `sql` on the store's connection, as text.
inline QStringList column(const HistoryStore& store, const QString& sql)
{
    QStringList values;
    QSqlQuery q(store.database());
    if (q.exec(sql))
        while (q.next())
            values << q.value(0).toString();
    return values;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray sha256(const QString& path)
{
    return QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha256).toHex();
}

// Another program's connection to the file, open while the object lives:
// runs statements (BEGIN IMMEDIATE, to hold the file) and rolls back what
// it left open when it goes.
class OtherConnection {
public:
    explicit OtherConnection(const QString& path, const QStringList& statements = {})
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db.setDatabaseName(path);
        ok_ = db.open() && run(statements);
    }
    ~OtherConnection() { release(); }
    OtherConnection(const OtherConnection&) = delete;
    OtherConnection& operator=(const OtherConnection&) = delete;

    bool ok() const { return ok_; }
    bool run(const QStringList& statements)
    {
        QSqlQuery q(QSqlDatabase::database(kName, false));
        for (const QString& s : statements)
            if (!q.exec(s))
                return false;
        return true;
    }
    void release()
    {
        if (!QSqlDatabase::contains(kName))
            return;
        {
            QSqlDatabase db = QSqlDatabase::database(kName, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(kName);
    }

private:
    static inline const QString kName = QStringLiteral("other-program");
    bool ok_ = false;
};

}  // namespace orvella::test
