#include "HostResultsDatabase.h"

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QUuid>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

#include "host/visit/HostSequence.h"
#include "hostapi/ComError.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexHost.ResultsDatabase");
// How long a new SQLite file may stay busy while another process sets it up: 30 s, as writers wait.
constexpr int kBusyAttempts = 600;
constexpr int kBusyPauseMs = 50;

// One list of statements per schema version; %ID% is each database's own key column.
const QList<QStringList> kMigrations{{
    QStringLiteral("CREATE TABLE assets (id %ID%, asset_id TEXT NOT NULL UNIQUE)"),
    QStringLiteral("CREATE TABLE visits (id %ID%, asset INTEGER NOT NULL REFERENCES assets(id), "
                   "file TEXT NOT NULL, asset_make_model TEXT NOT NULL, asset_serial_no TEXT NOT NULL, "
                   "asset_location TEXT NOT NULL, technician TEXT NOT NULL, performed TEXT NOT NULL, "
                   "instrument_name TEXT NOT NULL, instrument_serial_no TEXT NOT NULL, "
                   "instrument_firmware TEXT NOT NULL, verdict TEXT NOT NULL, archived TEXT NOT NULL, "
                   "content_sha256 TEXT NOT NULL UNIQUE)"),
    QStringLiteral("CREATE INDEX visits_by_asset ON visits (asset, performed)"),
    QStringLiteral("CREATE TABLE tests (id %ID%, visit INTEGER NOT NULL REFERENCES visits(id), "
                   "position INTEGER NOT NULL, test_id INTEGER NOT NULL, name TEXT NOT NULL, "
                   "status TEXT NOT NULL, performed TEXT NOT NULL)"),
    QStringLiteral("CREATE INDEX tests_by_visit ON tests (visit, position)"),
    QStringLiteral("CREATE TABLE measurements (id %ID%, test INTEGER NOT NULL REFERENCES tests(id), "
                   "position INTEGER NOT NULL, key TEXT NOT NULL, description TEXT NOT NULL, "
                   "value_text TEXT NOT NULL, value DOUBLE PRECISION, unit TEXT NOT NULL, "
                   "status TEXT NOT NULL, limits TEXT NOT NULL)"),
    QStringLiteral("CREATE INDEX measurements_by_test ON measurements (test, position)"),
}};

// A text that was never set binds as NULL; the columns hold an empty text instead.
QVariant Text(const QString& text) { return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text); }

QVariant Nullable(const std::optional<double>& number) { return number ? QVariant(*number) : QVariant(); }

std::optional<double> Number(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

QString LimitsJson(const QList<HostVisitRecord::Limit>& limits) {
    QJsonArray array;
    for (const auto& limit : limits) {
        array.append(
            QJsonObject{{QStringLiteral("standard"), limit.standard},
                        {QStringLiteral("low"), limit.low ? QJsonValue(*limit.low) : QJsonValue()},
                        {QStringLiteral("high"), limit.high ? QJsonValue(*limit.high) : QJsonValue()}});
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QList<HostVisitRecord::Limit> LimitsFromJson(const QString& text) {
    QList<HostVisitRecord::Limit> limits;
    for (const auto& value : QJsonDocument::fromJson(text.toUtf8()).array()) {
        const QJsonObject object = value.toObject();
        const auto side = [&object](const char* name) {
            const QJsonValue number = object.value(QLatin1String(name));
            return number.isDouble() ? std::optional<double>(number.toDouble()) : std::nullopt;
        };
        limits.append({object.value(QStringLiteral("standard")).toString(), side("low"), side("high")});
    }
    return limits;
}

// A reading from the query's columns first to first + 6: key, description, value_text, value, unit,
// status, limits.
HostVisitRecord::Reading ReadingAt(const QSqlQuery& query, int first) {
    return {query.value(first).toString(),
            query.value(first + 1).toString(),
            query.value(first + 2).toString(),
            Number(query.value(first + 3)),
            query.value(first + 4).toString(),
            query.value(first + 5).toString(),
            LimitsFromJson(query.value(first + 6).toString())};
}

}  // namespace

QString HostResultsDatabase::DefaultUrl() {
    const QString named = qEnvironmentVariable("ORVEX_DATABASE");
    if (!named.isEmpty()) return named;
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Orvex/results.sqlite");
}

HostResultsDatabase::HostResultsDatabase(const QString& url, Access access) : m_access(access) {
    static std::atomic<int> made{0};
    m_connection = QStringLiteral("orvex-results-%1").arg(++made);
    const QString given = url.isEmpty() ? DefaultUrl() : url;
    const QUrl parsed(given);
    m_postgres =
        parsed.scheme() == QLatin1String("postgresql") || parsed.scheme() == QLatin1String("postgres");
    const QString driver = m_postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    if (m_postgres) {
        m_location = QStringLiteral("postgresql://%1@%2:%3%4")
                         .arg(parsed.userName(), parsed.host())
                         .arg(parsed.port(5432))
                         .arg(parsed.path());
    } else {
        m_location = given.startsWith(QLatin1String("sqlite:")) ? given.mid(7) : given;
    }
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        Fail(QStringLiteral("opening"),
             QStringLiteral("the Qt SQL driver %1 is not installed (Debian package %2)")
                 .arg(driver,
                      m_postgres ? QStringLiteral("libqt6sql6-psql") : QStringLiteral("libqt6sql6-sqlite")));
    }
    QSqlDatabase database = QSqlDatabase::addDatabase(driver, m_connection);
    if (m_postgres) {
        database.setHostName(parsed.host());
        database.setPort(parsed.port(5432));
        database.setUserName(parsed.userName());
        database.setPassword(parsed.password());
        database.setDatabaseName(parsed.path().mid(1));
        database.setConnectOptions(QStringLiteral("connect_timeout=10"));
    } else {
        // No database yet: a reader finds no visits, unless the place cannot hold one.
        const QFileInfo folderOf(QFileInfo(m_location).absolutePath());
        if (m_access == Access::Read && !QFileInfo::exists(m_location)) {
            if (folderOf.exists() && !folderOf.isDir())
                Fail(QStringLiteral("opening"), QStringLiteral("%1 is no folder").arg(folderOf.filePath()));
            m_absent = true;
            return;
        }
        // An existing empty file is a database that lost its content, not a new one to write into.
        if (QFileInfo(m_location).isFile() && QFileInfo(m_location).size() == 0) {
            Fail(QStringLiteral("opening"),
                 QStringLiteral("the file is empty, so its visits are lost or were never there; move it "
                                "aside to start a new database"));
        }
        const QString folder = QFileInfo(m_location).absolutePath();
        if (m_access == Access::Write && !QDir().mkpath(folder))
            Fail(QStringLiteral("opening"), QStringLiteral("%1 cannot be made").arg(folder));
        if (m_access == Access::Write && !QFileInfo::exists(m_location)) CreateSqliteFile();
        database.setDatabaseName(m_location);
        // Another process writing waits its turn instead of failing at once.
        database.setConnectOptions(m_access == Access::Read
                                       ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000;QSQLITE_OPEN_READONLY")
                                       : QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
    }
    if (!database.open()) Fail(QStringLiteral("opening"), database.lastError().text());
    if (m_postgres) {
        // The server's notices ("already exists, skipping") are no news to a technician.
        Direct(database, QStringLiteral("SET client_min_messages = warning"), QStringLiteral("opening"));
        // A lock another session holds is waited for as long as SQLite waits, then the store fails
        // clearly: a run never hangs on the database after its file is saved.
        Direct(database, QStringLiteral("SET lock_timeout = '30s'"), QStringLiteral("opening"));
        Direct(database, QStringLiteral("SET statement_timeout = '30s'"), QStringLiteral("opening"));
        if (m_access == Access::Read) {
            Direct(database, QStringLiteral("SET default_transaction_read_only = on"),
                   QStringLiteral("opening"));
        }
    } else if (m_access == Access::Write) {
        // Switching a new file to WAL takes it whole and does not wait for another process doing
        // the same: the switch is tried again while the file is busy.
        for (int attempt = 1;; ++attempt) {
            QSqlQuery wal(database);
            if (wal.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) break;
            const QString code = wal.lastError().nativeErrorCode();
            if ((code != QLatin1String("5") && code != QLatin1String("6")) || attempt == kBusyAttempts)
                Fail(QStringLiteral("setting the journal mode"), wal.lastError().text());
            QThread::msleep(kBusyPauseMs);
        }
        Direct(database, QStringLiteral("PRAGMA foreign_keys=ON"), QStringLiteral("enabling foreign keys"));
    }
    if (m_access == Access::Read) {
        CheckSchema();
    } else {
        QSqlDatabase database = Database();
        Migrate(database);
    }
}

HostResultsDatabase::~HostResultsDatabase() {
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

QSqlDatabase HostResultsDatabase::Database() const { return QSqlDatabase::database(m_connection, false); }

void HostResultsDatabase::Fail(const QString& what, const QString& why) const {
    throw ComError(
        kErrDatabase, kSource,
        QStringLiteral("the results database %1: %2 failed: %3").arg(m_location, what, why.trimmed()));
}

void HostResultsDatabase::Run(QSqlQuery& query, const QString& what) const {
    if (!query.exec()) Fail(what, query.lastError().text());
}

QSqlQuery HostResultsDatabase::Run(QSqlDatabase& database, const QString& sql, const QVariantList& values,
                                   const QString& what) const {
    QSqlQuery query(database);
    if (!query.prepare(sql)) Fail(what, query.lastError().text());
    for (const QVariant& value : values) query.addBindValue(value);
    Run(query, what);
    return query;
}

void HostResultsDatabase::Direct(QSqlDatabase& database, const QString& sql, const QString& what) const {
    QSqlQuery query(database);
    if (!query.exec(sql)) Fail(what, query.lastError().text());
}

void HostResultsDatabase::BeginWriting(QSqlDatabase& database) {
    // SQLite takes its write lock at once, so two writers never deadlock upgrading a read.
    Direct(database, m_postgres ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"),
           QStringLiteral("beginning a transaction"));
}

void HostResultsDatabase::RollBack(QSqlDatabase& database) {
    QSqlQuery(database).exec(QStringLiteral("ROLLBACK"));
}

void HostResultsDatabase::CheckSchema() {
    QSqlDatabase database = Database();
    const QString what = QStringLiteral("reading the schema version");
    QSqlQuery table = Run(database,
                          m_postgres ? QStringLiteral("SELECT to_regclass('orvex_schema') IS NOT NULL")
                                     : QStringLiteral("SELECT COUNT(*) > 0 FROM sqlite_master WHERE "
                                                      "type = 'table' AND name = 'orvex_schema'"),
                          {}, what);
    if (!table.next()) Fail(what, table.lastError().text());
    if (!table.value(0).toBool()) {
        m_absent = true;
        return;
    }
    table.finish();
    QSqlQuery found = Run(database, QStringLiteral("SELECT MAX(version) FROM orvex_schema"), {}, what);
    const int version = found.next() && !found.value(0).isNull() ? found.value(0).toInt() : 0;
    if (version > kSchemaVersion) {
        Fail(QStringLiteral("opening"),
             QStringLiteral("its schema version %1 is newer than this program's %2")
                 .arg(version)
                 .arg(kSchemaVersion));
    }
    if (version < kSchemaVersion) {
        Fail(QStringLiteral("opening"),
             QStringLiteral("its schema version %1 is older than this program's %2; let a program that "
                            "writes open it once (orvex archive)")
                 .arg(version)
                 .arg(kSchemaVersion));
    }
}

void HostResultsDatabase::CreateSqliteFile() {
    const QString made =
        QStringLiteral("%1.new-%2").arg(m_location, QUuid::createUuid().toString(QUuid::WithoutBraces));
    const QString connection = m_connection + QStringLiteral("-new");
    {
        QSqlDatabase fresh = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        fresh.setDatabaseName(made);
        const bool opened = fresh.open();
        try {
            if (!opened) Fail(QStringLiteral("creating"), fresh.lastError().text());
            Direct(fresh, QStringLiteral("PRAGMA journal_mode=WAL"),
                   QStringLiteral("setting the journal mode"));
            Migrate(fresh);
        } catch (const ComError&) {
            fresh.close();
            QFile::remove(made);
            throw;
        }
        fresh.close();
    }
    QSqlDatabase::removeDatabase(connection);
    // Another process may have put its new database there first: that one is taken.
    const bool linked =
        ::link(QFile::encodeName(made).constData(), QFile::encodeName(m_location).constData()) == 0;
    const int error = errno;
    QFile::remove(made);
    if (!linked && error != EEXIST)
        Fail(QStringLiteral("creating"), QString::fromLocal8Bit(std::strerror(error)));
}

void HostResultsDatabase::Migrate(QSqlDatabase& database) {
    BeginWriting(database);
    try {
        // Two first uses at once must not both create the tables.
        if (m_postgres)
            Direct(database, QStringLiteral("SELECT pg_advisory_xact_lock(6372501)"),
                   QStringLiteral("locking"));
        Direct(database, QStringLiteral("CREATE TABLE IF NOT EXISTS orvex_schema (version INTEGER NOT NULL)"),
               QStringLiteral("reading the schema version"));
        QSqlQuery found = Run(database, QStringLiteral("SELECT MAX(version) FROM orvex_schema"), {},
                              QStringLiteral("reading the schema version"));
        const int version = found.next() && !found.value(0).isNull() ? found.value(0).toInt() : 0;
        // SQLite commits only when no statement is still reading.
        found.finish();
        if (version > kSchemaVersion) {
            Fail(QStringLiteral("opening"),
                 QStringLiteral("its schema version %1 is newer than this program's %2")
                     .arg(version)
                     .arg(kSchemaVersion));
        }
        const QString key =
            m_postgres ? QStringLiteral("BIGSERIAL PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY");
        for (int next = version + 1; next <= kSchemaVersion; ++next) {
            for (const QString& statement : kMigrations[next - 1]) {
                Direct(database, QString(statement).replace(QStringLiteral("%ID%"), key),
                       QStringLiteral("migrating to schema version %1").arg(next));
            }
            Run(database, QStringLiteral("INSERT INTO orvex_schema (version) VALUES (?)"), {next},
                QStringLiteral("migrating to schema version %1").arg(next));
        }
        Direct(database, QStringLiteral("COMMIT"), QStringLiteral("migrating"));
    } catch (const ComError&) {
        RollBack(database);
        throw;
    }
}

HostResultsDatabase::Stored HostResultsDatabase::Store(const HostVisitRecord& visit, const QString& file) {
    if (visit.assetId.isEmpty()) Fail(QStringLiteral("storing"), QStringLiteral("the visit names no asset"));
    if (m_access == Access::Read)
        Fail(QStringLiteral("storing"), QStringLiteral("it was opened for reading"));
    QSqlDatabase database = Database();
    const QString what = QStringLiteral("storing the visit of %1").arg(visit.assetId);
    BeginWriting(database);
    try {
        Run(database,
            QStringLiteral("INSERT INTO assets (asset_id) VALUES (?) ON CONFLICT (asset_id) DO NOTHING"),
            {visit.assetId}, what);
        QSqlQuery asset =
            Run(database, QStringLiteral("SELECT id FROM assets WHERE asset_id = ?"), {visit.assetId}, what);
        if (!asset.next()) Fail(what, QStringLiteral("the asset was not stored"));
        const QVariant assetKey = asset.value(0);
        asset.finish();
        QSqlQuery stored =
            Run(database,
                QStringLiteral(
                    "INSERT INTO visits (asset, file, asset_make_model, asset_serial_no, asset_location, "
                    "technician, performed, instrument_name, instrument_serial_no, instrument_firmware, "
                    "verdict, archived, content_sha256) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                    "ON CONFLICT (content_sha256) DO NOTHING RETURNING id"),
                {assetKey, Text(QFileInfo(file).absoluteFilePath()), Text(visit.assetMakeModel),
                 Text(visit.assetSerialNo), Text(visit.assetLocation), Text(visit.technician),
                 Text(visit.performed), Text(visit.instrumentName), Text(visit.instrumentSerialNo),
                 Text(visit.instrumentFirmware), Text(visit.verdict),
                 QDateTime::currentDateTimeUtc().toString(Qt::ISODate), visit.Checksum()},
                what);
        if (!stored.next()) {
            stored.finish();
            RollBack(database);
            return Stored::AlreadyThere;
        }
        const QVariant visitId = stored.value(0);
        stored.finish();
        for (const auto& test : visit.tests) {
            QSqlQuery row =
                Run(database,
                    QStringLiteral("INSERT INTO tests (visit, position, test_id, name, status, performed) "
                                   "VALUES (?, ?, ?, ?, ?, ?) RETURNING id"),
                    {visitId, test.position, test.testId, Text(test.name), Text(test.status),
                     Text(test.performed)},
                    what);
            if (!row.next()) Fail(what, QStringLiteral("a test was not stored"));
            const QVariant testId = row.value(0);
            row.finish();
            int position = 0;
            for (const auto& reading : test.readings) {
                Run(database,
                    QStringLiteral(
                        "INSERT INTO measurements (test, position, key, description, value_text, value, "
                        "unit, status, limits) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {testId, ++position, Text(reading.key), Text(reading.description),
                     Text(reading.valueText), Nullable(reading.value), Text(reading.unit),
                     Text(reading.status), LimitsJson(reading.limits)},
                    what);
            }
        }
        Direct(database, QStringLiteral("COMMIT"), what);
    } catch (const ComError&) {
        RollBack(database);
        throw;
    }
    return Stored::New;
}

std::optional<HostResultsDatabase::Stored> HostResultsDatabase::StoreFile(std::shared_ptr<IPlugIn> plugIn,
                                                                          const QString& file) {
    HostSequence saved(std::move(plugIn));
    saved.Load(file);
    const HostVisitRecord visit = HostVisitRecord::FromSequence(saved);
    if (visit.assetId.isEmpty() || visit.performed.isEmpty()) return std::nullopt;
    return Store(visit, file);
}

QList<HostResultsDatabase::Visit> HostResultsDatabase::History(const QString& assetId, int limit,
                                                               const QString& key) {
    if (m_absent) return {};
    QSqlDatabase database = Database();
    const QString what = QStringLiteral("reading the history of %1").arg(assetId);
    QSqlQuery visits =
        Run(database,
            QStringLiteral(
                "SELECT v.id, v.file, v.asset_make_model, v.asset_serial_no, v.asset_location, v.technician, "
                "v.performed, v.instrument_name, v.instrument_serial_no, v.instrument_firmware, v.verdict, "
                "v.archived, v.content_sha256 FROM visits v "
                "WHERE v.asset = (SELECT id FROM assets WHERE asset_id = ?)") +
                (key.isNull() ? QString()
                              : QStringLiteral(" AND EXISTS (SELECT 1 FROM tests t JOIN measurements m ON "
                                               "m.test = t.id WHERE t.visit = v.id AND m.key = ?)")) +
                QStringLiteral(" ORDER BY v.performed DESC, v.id DESC") +
                (limit > 0 ? QStringLiteral(" LIMIT %1").arg(limit) : QString()),
            key.isNull() ? QVariantList{assetId} : QVariantList{assetId, key}, what);
    QList<Visit> history;
    QList<QVariant> ids;
    QStringList checksums;
    while (visits.next()) {
        Visit visit;
        HostVisitRecord& record = visit.record;
        record.assetId = assetId;
        visit.file = visits.value(1).toString();
        record.assetMakeModel = visits.value(2).toString();
        record.assetSerialNo = visits.value(3).toString();
        record.assetLocation = visits.value(4).toString();
        record.technician = visits.value(5).toString();
        record.performed = visits.value(6).toString();
        record.instrumentName = visits.value(7).toString();
        record.instrumentSerialNo = visits.value(8).toString();
        record.instrumentFirmware = visits.value(9).toString();
        record.verdict = visits.value(10).toString();
        visit.archived = visits.value(11).toString();
        ids << visits.value(0);
        checksums << visits.value(12).toString();
        history << visit;
    }
    // A read that stops on an error (a damaged page) is a failure, never a shorter history.
    if (visits.lastError().isValid()) Fail(what, visits.lastError().text());
    if (history.isEmpty()) return history;
    // All the visits' tests and readings in one query: a server far away answers each query late.
    QStringList keys;
    QHash<qint64, qsizetype> at;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        keys << QString::number(ids[i].toLongLong());
        at.insert(ids[i].toLongLong(), i);
    }
    QSqlQuery rows =
        Run(database,
            QStringLiteral(
                "SELECT t.visit, t.id, t.position, t.test_id, t.name, t.status, t.performed, m.key, "
                "m.description, m.value_text, m.value, m.unit, m.status, m.limits FROM tests t LEFT JOIN "
                "measurements m ON m.test = t.id WHERE t.visit IN (%1) ORDER BY t.visit, t.position, t.id, "
                "m.position")
                .arg(keys.join(QLatin1Char(','))),
            {}, what);
    qint64 current = -1;
    while (rows.next()) {
        HostVisitRecord& record = history[at.value(rows.value(0).toLongLong())].record;
        if (rows.value(1).toLongLong() != current) {
            current = rows.value(1).toLongLong();
            record.tests.append({rows.value(2).toInt(),
                                 rows.value(3).toInt(),
                                 rows.value(4).toString(),
                                 rows.value(5).toString(),
                                 rows.value(6).toString(),
                                 {}});
        }
        if (rows.value(7).isNull()) continue;
        record.tests.last().readings.append(ReadingAt(rows, 7));
    }
    // Readings cut short would read as visits altered after they were stored.
    if (rows.lastError().isValid()) Fail(what, rows.lastError().text());
    for (qsizetype i = 0; i < history.size(); ++i)
        history[i].altered = history[i].record.Checksum() != checksums[i];
    return history;
}

QList<HostResultsDatabase::Visit> HostResultsDatabase::Readings(const QString& assetId, int testId,
                                                                int position, const QString& key,
                                                                const QString& before, int limit) {
    if (m_absent) return {};
    QSqlDatabase database = Database();
    const QString what = QStringLiteral("reading the trend of %1 of %2").arg(key, assetId);
    // Walks the asset's visits newest first and stops at the limit: a long history costs no more
    // than a short one. The asset's key as a value of its own, not a join, lets PostgreSQL walk
    // its index of the asset's visits in order instead of sorting them all.
    QSqlQuery rows =
        Run(database,
            QStringLiteral(
                "SELECT v.performed, t.position, t.name, t.status, t.performed, m.key, m.description, "
                "m.value_text, m.value, m.unit, m.status, m.limits FROM visits v "
                "JOIN tests t ON t.id = (SELECT c.id FROM tests c WHERE c.visit = v.id AND c.test_id = ? "
                "ORDER BY CASE WHEN c.position = ? THEN 0 ELSE 1 END, c.position, c.id LIMIT 1) "
                "JOIN measurements m ON m.id = (SELECT r.id FROM measurements r WHERE r.test = t.id AND "
                "r.key = ? ORDER BY r.position, r.id LIMIT 1) "
                "WHERE v.asset = (SELECT id FROM assets WHERE asset_id = ?) AND v.performed < ? AND "
                "m.value IS NOT NULL "
                "ORDER BY v.performed DESC, v.id DESC LIMIT %1")
                .arg(qMax(limit, 0)),
            {testId, position, key, assetId, before}, what);
    QList<Visit> visits;
    while (rows.next()) {
        Visit visit;
        visit.record.assetId = assetId;
        visit.record.performed = rows.value(0).toString();
        visit.record.tests.append({rows.value(1).toInt(),
                                   testId,
                                   rows.value(2).toString(),
                                   rows.value(3).toString(),
                                   rows.value(4).toString(),
                                   {ReadingAt(rows, 5)}});
        visits << visit;
    }
    if (rows.lastError().isValid()) Fail(what, rows.lastError().text());
    return visits;
}

}  // namespace orvex
