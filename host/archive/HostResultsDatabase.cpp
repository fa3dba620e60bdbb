#include "HostResultsDatabase.h"

#include <sys/statvfs.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QUuid>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <functional>
#include <utility>

#include "host/archive/HostDatabaseUrl.h"
#include "host/platform/HostInstallation.h"
#include "hostapi/ComError.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexHost.ResultsDatabase");
// How long a new SQLite file may stay busy while another process sets it up: 30 s, as writers wait.
constexpr int kBusyAttempts = 600;
constexpr int kBusyPauseMs = 50;

// One list of statements per schema version; %ID% is each database's own key column.
const QList<QStringList> kMigrations{
    {
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
    },
    {
        QStringLiteral("CREATE TABLE revisions (id %ID%, visit INTEGER NOT NULL REFERENCES visits(id), "
                       "visit_uid TEXT NOT NULL, revision INTEGER NOT NULL, command TEXT NOT NULL, "
                       "archived TEXT NOT NULL, content_sha256 TEXT NOT NULL, seal TEXT NOT NULL, "
                       "UNIQUE (visit_uid, revision))"),
        QStringLiteral("CREATE INDEX revisions_by_visit ON revisions (visit)"),
    },
    {
        // An asset's test interval, set again by adding a row: the newest row holds.
        QStringLiteral("CREATE TABLE asset_intervals (id %ID%, asset INTEGER NOT NULL REFERENCES assets(id), "
                       "months INTEGER NOT NULL, set_at TEXT NOT NULL)"),
        QStringLiteral("CREATE INDEX asset_intervals_by_asset ON asset_intervals (asset, id)"),
    },
    {
        // Who set an interval: someone by hand ('asset', as every interval before was set), or the
        // procedure of a visit stored ('procedure'), which gives way to one set by hand. A version
        // of its own, so that a program from before refuses to write rows that would not say.
        QStringLiteral("ALTER TABLE asset_intervals ADD COLUMN source TEXT NOT NULL DEFAULT 'asset' "
                       "CHECK (source IN ('asset', 'procedure'))"),
    }};

// A shared server keeps what was stored: rows are only ever added, whoever connects. An
// administrator who owns the schema can still drop the triggers; the seals tell of it then.
const QStringList kKeptTables{QStringLiteral("assets"),    QStringLiteral("visits"),
                              QStringLiteral("tests"),     QStringLiteral("measurements"),
                              QStringLiteral("revisions"), QStringLiteral("orvex_schema")};
// The triggers that keep the tables' rows; with the function they call when it is not there yet.
QStringList PostgresKeepsRows(const QStringList& tables, bool function) {
    QStringList statements;
    if (function)
        statements << QStringLiteral(
            "CREATE OR REPLACE FUNCTION orvex_refuse_change() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
            "RAISE EXCEPTION 'stored visits are never changed or deleted (% on %)', TG_OP, TG_TABLE_NAME; "
            "END $$");
    for (const QString& table : tables) {
        statements << QStringLiteral(
                          "CREATE TRIGGER %1_kept BEFORE UPDATE OR DELETE ON %1 FOR EACH ROW "
                          "EXECUTE FUNCTION orvex_refuse_change()")
                          .arg(table)
                   << QStringLiteral(
                          "CREATE TRIGGER %1_not_truncated BEFORE TRUNCATE ON %1 FOR EACH "
                          "STATEMENT EXECUTE FUNCTION orvex_refuse_change()")
                          .arg(table);
    }
    return statements;
}

// A visit's columns as RecordAt reads them.
const QString kRecordColumns = QStringLiteral(
    "a.asset_id, v.asset_make_model, v.asset_serial_no, v.asset_location, v.technician, v.performed, "
    "v.instrument_name, v.instrument_serial_no, v.instrument_firmware, v.verdict");
// A revision with its visit (ReadVisits): the visit's key and file, its record, the revision, and the
// seal stored before it.
const QString kVisitSelect =
    QStringLiteral("SELECT v.id, v.file, ") + kRecordColumns +
    QStringLiteral(
        ", r.id, r.visit_uid, r.revision, r.command, r.archived, r.content_sha256, r.seal, "
        "(SELECT p.seal FROM revisions p WHERE p.id < r.id ORDER BY p.id DESC LIMIT 1) "
        "FROM revisions r JOIN visits v ON v.id = r.visit JOIN assets a ON a.id = v.asset");
// The newest revision of its visit, the one a history shows.
const QString kNewest = QStringLiteral(
    "NOT EXISTS (SELECT 1 FROM revisions n WHERE n.visit_uid = r.visit_uid AND "
    "n.revision > r.revision)");
// Verification reads the store this many visits at a time: memory stays bounded however large it is.
constexpr int kVerifyBatch = 500;

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

HostVisitRecord RecordAt(const QSqlQuery& query, int first) {
    HostVisitRecord record;
    record.assetId = query.value(first).toString();
    record.assetMakeModel = query.value(first + 1).toString();
    record.assetSerialNo = query.value(first + 2).toString();
    record.assetLocation = query.value(first + 3).toString();
    record.technician = query.value(first + 4).toString();
    record.performed = query.value(first + 5).toString();
    record.instrumentName = query.value(first + 6).toString();
    record.instrumentSerialNo = query.value(first + 7).toString();
    record.instrumentFirmware = query.value(first + 8).toString();
    record.verdict = query.value(first + 9).toString();
    return record;
}

QString Keys(const QList<qint64>& keys) {
    QStringList texts;
    for (const qint64 key : keys) texts << QString::number(key);
    return texts.join(QLatin1Char(','));
}

}  // namespace

QString HostResultsDatabase::DefaultUrl() {
    QString named = qEnvironmentVariable("ORVEX_DATABASE");
    if (!named.isEmpty()) return named;
    return HostInstallation::UserFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) +
           QStringLiteral("/Orvex/results.sqlite");
}

HostResultsDatabase::HostResultsDatabase(const QString& url, Access access) : m_access(access) {
    static std::atomic<int> made{0};
    m_connection = QStringLiteral("orvex-results-%1").arg(++made);
    const QString given = url.isEmpty() ? DefaultUrl() : url;
    const QUrl parsed(given);
    m_postgres =
        parsed.scheme() == QLatin1String("postgresql") || parsed.scheme() == QLatin1String("postgres");
    const QString driver = m_postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    std::optional<HostDatabaseUrl> server;
    if (m_postgres) {
        server.emplace(given, HostDatabaseUrl::Environment::OfProcess());
        m_location = server->Location();
        if (!server->Refused().isEmpty()) Fail(QStringLiteral("opening"), server->Refused());
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
        // What the URL leaves empty is not passed at all, so libpq takes it from PGPASSFILE, ~/.pgpass,
        // a service file or the environment, as it defines.
        database.setHostName(server->Host());
        database.setPort(server->Port());
        database.setUserName(server->User());
        database.setPassword(server->Password());
        database.setDatabaseName(server->Name());
        database.setConnectOptions(server->Options());
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
        // Another process writing waits its turn instead of failing at once.
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000");
        if (m_access == Access::Read) options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        struct statvfs mount {};
        if (m_access == Access::Read && ::statvfs(QFile::encodeName(m_location).constData(), &mount) == 0 &&
            (mount.f_flag & ST_RDONLY) != 0) {
            // On a read-only mount nobody writes and WAL's shared-memory file cannot be made: the file
            // is read as it stands.
            QUrl uri = QUrl::fromLocalFile(QFileInfo(m_location).absoluteFilePath());
            uri.setQuery(QStringLiteral("immutable=1"));
            database.setDatabaseName(uri.toString(QUrl::FullyEncoded));
            options += QStringLiteral(";QSQLITE_OPEN_URI");
        } else {
            database.setDatabaseName(m_location);
        }
        database.setConnectOptions(options);
    }
    if (!database.open()) {
        const QString why = database.lastError().text();
        Fail(QStringLiteral("opening"), server ? server->Explained(why) : why);
    }
    if (m_postgres) {
        // The server's notices ("already exists, skipping") are no news to a technician.
        Direct(database, QStringLiteral("SET client_min_messages = warning"), QStringLiteral("opening"));
        // A lock another session holds is waited for as long as SQLite waits, then the store fails
        // clearly: a run never hangs on the database after its file is saved.
        Direct(database, QStringLiteral("SET lock_timeout = '30s'"), QStringLiteral("opening"));
        Direct(database, QStringLiteral("SET statement_timeout = '30s'"), QStringLiteral("opening"));
        // The store's questions each walk a few index entries per asset: compiling them costs a
        // quarter of a second more than it ever saves.
        Direct(database, QStringLiteral("SET jit = off"), QStringLiteral("opening"));
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
        // A damaged file is never written into: a store on top of a broken page spreads the damage.
        CheckFile(database);
    }
    if (m_access == Access::Read) {
        CheckSchema();
    } else {
        QSqlDatabase connection = Database();
        Migrate(connection);
    }
}

HostResultsDatabase::~HostResultsDatabase() {
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

QString HostResultsDatabase::EachAssetsNewest(const QString& newest, const QString& table,
                                              const QString& alias) const {
    // PostgreSQL's planner would test every row of the table against every asset's list; a lateral
    // join runs the list once per asset. SQLite has no lateral join and runs the list once per asset
    // as it is.
    if (m_postgres)
        return QStringLiteral("CROSS JOIN LATERAL (%1) newest JOIN %2 %3 ON %3.id = newest.id")
            .arg(newest, table, alias);
    return QStringLiteral("JOIN %2 %3 ON %3.id IN (%1)").arg(newest, table, alias);
}

QSqlDatabase HostResultsDatabase::Database() const { return QSqlDatabase::database(m_connection, false); }

void HostResultsDatabase::Fail(const QString& what, const QString& why) const {
    throw ComError(
        kErrDatabase, kSource,
        QStringLiteral("the results database %1: %2 failed: %3").arg(m_location, what, why.trimmed()));
}

void HostResultsDatabase::CheckFile(QSqlDatabase& database) const {
    // SQLite answers a damaged page either with rows that name it or with an error of its own.
    QSqlQuery check(database);
    QStringList problems;
    if (check.exec(QStringLiteral("PRAGMA quick_check"))) {
        while (check.next()) {
            if (check.value(0).toString() != QLatin1String("ok")) problems << check.value(0).toString();
        }
    }
    if (!problems.isEmpty())
        problems.front().prepend(QStringLiteral("the database disk image is malformed: "));
    if (check.lastError().isValid()) problems << check.lastError().text().trimmed();
    if (problems.isEmpty()) return;
    Fail(QStringLiteral("checking the file"),
         QStringLiteral("%1%2").arg(
             problems.mid(0, 3).join(QStringLiteral("; ")),
             m_access == Access::Write ? QStringLiteral("; nothing was written into it") : QString()));
}

bool HostResultsDatabase::Next(QSqlQuery& query, const QString& what) const {
    if (query.next()) return true;
    if (query.lastError().isValid()) Fail(what, query.lastError().text());
    return false;
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

int HostResultsDatabase::StoredVersion(QSqlDatabase& database) const {
    const QString what = QStringLiteral("reading the schema version");
    QSqlQuery table = Run(database,
                          m_postgres ? QStringLiteral("SELECT to_regclass('orvex_schema') IS NOT NULL")
                                     : QStringLiteral("SELECT COUNT(*) > 0 FROM sqlite_master WHERE "
                                                      "type = 'table' AND name = 'orvex_schema'"),
                          {}, what);
    if (!Next(table, what)) Fail(what, QStringLiteral("no answer"));
    if (!table.value(0).toBool()) return -1;
    table.finish();
    QSqlQuery found = Run(database, QStringLiteral("SELECT MAX(version) FROM orvex_schema"), {}, what);
    const int version = Next(found, what) && !found.value(0).isNull() ? found.value(0).toInt() : 0;
    // SQLite commits only when no statement is still reading.
    found.finish();
    if (version > kSchemaVersion) {
        Fail(QStringLiteral("opening"),
             QStringLiteral("its schema version %1 is newer than this program's %2")
                 .arg(version)
                 .arg(kSchemaVersion));
    }
    return version;
}

void HostResultsDatabase::CheckSchema() {
    QSqlDatabase database = Database();
    const int version = StoredVersion(database);
    if (version < 0) {
        m_absent = true;
        return;
    }
    m_version = version;
    // A database from before test intervals is read as it stands: its assets have the default one.
    if (version < kIntervalsVersion - 1) {
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
        // A current schema is left alone: a technician's role may insert but not create.
        int version = StoredVersion(database);
        if (version < 0) {
            Direct(database, QStringLiteral("CREATE TABLE orvex_schema (version INTEGER NOT NULL)"),
                   QStringLiteral("creating the schema"));
            version = 0;
        }
        const QString key =
            m_postgres ? QStringLiteral("BIGSERIAL PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY");
        for (int next = version + 1; next <= kSchemaVersion; ++next) {
            const QString what = QStringLiteral("migrating to schema version %1").arg(next);
            QStringList statements = kMigrations[next - 1];
            if (next == 2 && m_postgres) statements << PostgresKeepsRows(kKeptTables, true);
            if (next == 3 && m_postgres)
                statements << PostgresKeepsRows({QStringLiteral("asset_intervals")}, false);
            for (const QString& statement : statements)
                Direct(database, QString(statement).replace(QStringLiteral("%ID%"), key), what);
            if (next == 2) SealStored(database);
            Run(database, QStringLiteral("INSERT INTO orvex_schema (version) VALUES (?)"), {next}, what);
        }
        Direct(database, QStringLiteral("COMMIT"), QStringLiteral("migrating"));
    } catch (const ComError&) {
        RollBack(database);
        throw;
    }
}

QString HostResultsDatabase::Identity(const HostVisitRecord& visit, const QString& file) {
    return visit.visit.isEmpty() ? QStringLiteral("path:") + QFileInfo(file).absoluteFilePath() : visit.visit;
}

QString HostResultsDatabase::LastSeal(QSqlDatabase& database, const QString& what) const {
    QSqlQuery last =
        Run(database, QStringLiteral("SELECT seal FROM revisions ORDER BY id DESC LIMIT 1"), {}, what);
    return Next(last, what) ? last.value(0).toString() : QString();
}

void HostResultsDatabase::SealStored(QSqlDatabase& database) {
    const QString what = QStringLiteral("sealing the visits stored before");
    QSqlQuery unsealed =
        Run(database,
            QStringLiteral("SELECT v.id, v.file, v.archived, v.content_sha256 FROM visits v WHERE "
                           "NOT EXISTS (SELECT 1 FROM revisions r WHERE r.visit = v.id) ORDER BY v.id"),
            {}, what);
    struct Row {
        QVariant key;
        HostRevision revision;
    };
    QList<Row> rows;
    QHash<QString, int> numbers;
    while (Next(unsealed, what)) {
        // Each file was one visit then; its stores, in order, are its revisions.
        HostRevision revision;
        revision.visit = QStringLiteral("path:") + unsealed.value(1).toString();
        revision.number = ++numbers[revision.visit];
        revision.command = QStringLiteral("stored before seals");
        revision.archived = unsealed.value(2).toString();
        revision.content = unsealed.value(3).toString();
        rows.append({unsealed.value(0), revision});
    }
    unsealed.finish();
    QString previous = LastSeal(database, what);
    for (Row& row : rows) {
        row.revision.seal = row.revision.SealAfter(previous);
        previous = row.revision.seal;
        Run(database,
            QStringLiteral(
                "INSERT INTO revisions (visit, visit_uid, revision, command, archived, content_sha256, "
                "seal) VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {row.key, row.revision.visit, row.revision.number, row.revision.command, row.revision.archived,
             row.revision.content, row.revision.seal},
            what);
    }
}

HostResultsDatabase::Stored HostResultsDatabase::Store(const HostVisitRecord& visit, const QString& file,
                                                       const QString& command) {
    if (visit.assetId.isEmpty()) Fail(QStringLiteral("storing"), QStringLiteral("the visit names no asset"));
    if (m_access == Access::Read)
        Fail(QStringLiteral("storing"), QStringLiteral("it was opened for reading"));
    QSqlDatabase database = Database();
    const QString what = QStringLiteral("storing the visit of %1").arg(visit.assetId);
    HostRevision revision;
    revision.visit = Identity(visit, file);
    revision.number = 1;
    revision.command = command;
    revision.archived = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    revision.content = visit.Checksum();
    BeginWriting(database);
    try {
        // One chain: writers add to it one at a time (SQLite's write lock does that by itself).
        if (m_postgres)
            Direct(database, QStringLiteral("SELECT pg_advisory_xact_lock(6372502)"),
                   QStringLiteral("waiting for the chain of seals"));
        // The same readings named in another language are no change.
        if (const auto newest = Newest(database, revision.visit)) {
            if (newest->revision.content == revision.content || newest->record.SameAs(visit)) {
                RollBack(database);
                return Stored::AlreadyThere;
            }
            revision.number = newest->revision.number + 1;
        }
        Run(database,
            QStringLiteral("INSERT INTO assets (asset_id) VALUES (?) ON CONFLICT (asset_id) DO NOTHING"),
            {visit.assetId}, what);
        QSqlQuery asset =
            Run(database, QStringLiteral("SELECT id FROM assets WHERE asset_id = ?"), {visit.assetId}, what);
        if (!Next(asset, what)) Fail(what, QStringLiteral("the asset was not stored"));
        const QVariant assetKey = asset.value(0);
        asset.finish();
        // Content stored once: a visit changed and changed back points at what it held before.
        QSqlQuery same = Run(database, QStringLiteral("SELECT id FROM visits WHERE content_sha256 = ?"),
                             {revision.content}, what);
        QVariant visitKey = Next(same, what) ? same.value(0) : QVariant();
        same.finish();
        if (!visitKey.isValid()) {
            QSqlQuery stored = Run(
                database,
                QStringLiteral(
                    "INSERT INTO visits (asset, file, asset_make_model, asset_serial_no, asset_location, "
                    "technician, performed, instrument_name, instrument_serial_no, instrument_firmware, "
                    "verdict, archived, content_sha256) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                    "RETURNING id"),
                {assetKey, Text(QFileInfo(file).absoluteFilePath()), Text(visit.assetMakeModel),
                 Text(visit.assetSerialNo), Text(visit.assetLocation), Text(visit.technician),
                 Text(visit.performed), Text(visit.instrumentName), Text(visit.instrumentSerialNo),
                 Text(visit.instrumentFirmware), Text(visit.verdict), revision.archived, revision.content},
                what);
            if (!Next(stored, what)) Fail(what, QStringLiteral("the visit was not stored"));
            visitKey = stored.value(0);
            stored.finish();
            for (const auto& test : visit.tests) {
                QSqlQuery row = Run(
                    database,
                    QStringLiteral("INSERT INTO tests (visit, position, test_id, name, status, performed) "
                                   "VALUES (?, ?, ?, ?, ?, ?) RETURNING id"),
                    {visitKey, test.position, test.testId, Text(test.name), Text(test.status),
                     Text(test.performed)},
                    what);
                if (!Next(row, what)) Fail(what, QStringLiteral("a test was not stored"));
                const QVariant testKey = row.value(0);
                row.finish();
                int position = 0;
                for (const auto& reading : test.readings) {
                    Run(database,
                        QStringLiteral(
                            "INSERT INTO measurements (test, position, key, description, value_text, "
                            "value, unit, status, limits) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                        {testKey, ++position, Text(reading.key), Text(reading.description),
                         Text(reading.valueText), Nullable(reading.value), Text(reading.unit),
                         Text(reading.status), LimitsJson(reading.limits)},
                        what);
                }
            }
        }
        // The procedure's interval becomes the asset's, unless someone set the asset's by hand; no
        // row is added while the newest says as much already.
        if (visit.procedureInterval >= 1 && visit.procedureInterval <= kLongestInterval) {
            Run(database,
                QStringLiteral(
                    "INSERT INTO asset_intervals (asset, months, set_at, source) SELECT a.id, ?, ?, "
                    "'procedure' FROM assets a WHERE a.id = ? AND NOT EXISTS (SELECT 1 FROM "
                    "asset_intervals i WHERE i.asset = a.id AND i.source = 'asset') AND COALESCE((SELECT "
                    "i.months FROM asset_intervals i WHERE i.asset = a.id ORDER BY i.id DESC LIMIT 1), 0) "
                    "<> ?"),
                {visit.procedureInterval, revision.archived, assetKey, visit.procedureInterval}, what);
        }
        revision.seal = revision.SealAfter(LastSeal(database, what));
        Run(database,
            QStringLiteral(
                "INSERT INTO revisions (visit, visit_uid, revision, command, archived, content_sha256, "
                "seal) VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {visitKey, revision.visit, revision.number, Text(revision.command), revision.archived,
             revision.content, revision.seal},
            what);
        Direct(database, QStringLiteral("COMMIT"), what);
    } catch (const ComError&) {
        RollBack(database);
        throw;
    }
    return revision.number == 1 ? Stored::New : Stored::Revised;
}

void HostResultsDatabase::ReadTests(QSqlDatabase& database, QHash<qint64, HostVisitRecord*>& records,
                                    const QString& what) const {
    if (records.isEmpty()) return;
    // All the visits' tests and readings in one query: a server far away answers each query late.
    QSqlQuery rows =
        Run(database,
            QStringLiteral(
                "SELECT t.visit, t.id, t.position, t.test_id, t.name, t.status, t.performed, m.key, "
                "m.description, m.value_text, m.value, m.unit, m.status, m.limits FROM tests t LEFT JOIN "
                "measurements m ON m.test = t.id WHERE t.visit IN (%1) ORDER BY t.visit, t.position, t.id, "
                "m.position")
                .arg(Keys(records.keys())),
            {}, what);
    qint64 current = -1;
    while (Next(rows, what)) {
        HostVisitRecord* record = records.value(rows.value(0).toLongLong());
        if (!record) continue;
        if (rows.value(1).toLongLong() != current) {
            current = rows.value(1).toLongLong();
            record->tests.append({rows.value(2).toInt(),
                                  rows.value(3).toInt(),
                                  rows.value(4).toString(),
                                  rows.value(5).toString(),
                                  rows.value(6).toString(),
                                  {}});
        }
        if (rows.value(7).isNull()) continue;
        record->tests.last().readings.append(ReadingAt(rows, 7));
    }
}

QList<HostResultsDatabase::Visit> HostResultsDatabase::ReadVisits(QSqlDatabase& database, QSqlQuery& found,
                                                                  const QString& what) const {
    QList<Visit> visits;
    QList<qint64> keys;
    QStringList previous;
    while (Next(found, what)) {
        Visit visit;
        visit.file = found.value(1).toString();
        visit.record = RecordAt(found, 2);
        visit.revision = {found.value(12).toLongLong(), found.value(13).toString(),
                          found.value(14).toInt(),      found.value(15).toString(),
                          found.value(16).toString(),   found.value(17).toString(),
                          found.value(18).toString()};
        visit.record.visit = visit.revision.visit;
        keys << found.value(0).toLongLong();
        previous << found.value(19).toString();
        visits << visit;
    }
    found.finish();
    // One visit's content may be the newest of two revisions (changed and changed back).
    QHash<qint64, HostVisitRecord> rows;
    for (const qint64 key : keys) rows.insert(key, {});
    // Pointers taken once the hash has stopped growing.
    QHash<qint64, HostVisitRecord*> filled;
    for (auto it = rows.begin(); it != rows.end(); ++it) filled.insert(it.key(), &it.value());
    ReadTests(database, filled, what);
    for (qsizetype i = 0; i < visits.size(); ++i) {
        visits[i].record.tests = rows.value(keys[i]).tests;
        visits[i].altered = visits[i].record.Checksum() != visits[i].revision.content;
        visits[i].broken = visits[i].revision.SealAfter(previous[i]) != visits[i].revision.seal;
    }
    return visits;
}

QList<HostResultsDatabase::Visit> HostResultsDatabase::History(const QString& assetId, int limit,
                                                               const QString& key) {
    if (m_absent) return {};
    QSqlDatabase database = Database();
    const QString what = QStringLiteral("reading the history of %1").arg(assetId);
    QSqlQuery found =
        Run(database,
            kVisitSelect +
                QStringLiteral(" WHERE v.asset = (SELECT id FROM assets WHERE asset_id = ?) AND ") + kNewest +
                (key.isNull() ? QString()
                              : QStringLiteral(" AND EXISTS (SELECT 1 FROM tests t JOIN measurements m ON "
                                               "m.test = t.id WHERE t.visit = v.id AND m.key = ?)")) +
                QStringLiteral(" ORDER BY v.performed DESC, v.id DESC") +
                (limit > 0 ? QStringLiteral(" LIMIT %1").arg(limit) : QString()),
            key.isNull() ? QVariantList{assetId} : QVariantList{assetId, key}, what);
    return ReadVisits(database, found, what);
}

QList<HostResultsDatabase::Visit> HostResultsDatabase::Revisions(const QString& visit) {
    if (m_absent) return {};
    QSqlDatabase database = Database();
    const QString what = QStringLiteral("reading the revisions of visit %1").arg(visit);
    QSqlQuery found =
        Run(database, kVisitSelect + QStringLiteral(" WHERE r.visit_uid = ? ORDER BY r.revision, r.id"),
            {visit}, what);
    return ReadVisits(database, found, what);
}

void HostResultsDatabase::Judge(QList<Visit>& visits) {
    if (m_absent || visits.isEmpty()) return;
    QSqlDatabase database = Database();
    QList<qint64> positions;
    for (const Visit& visit : visits) positions << visit.revision.position;
    QSqlQuery found = Run(database, kVisitSelect + QStringLiteral(" WHERE r.id IN (%1)").arg(Keys(positions)),
                          {}, QStringLiteral("judging the trend's visits"));
    QHash<qint64, std::pair<bool, bool>> judged;
    for (const Visit& whole : ReadVisits(database, found, QStringLiteral("judging the trend's visits")))
        judged.insert(whole.revision.position, {whole.altered, whole.broken});
    for (Visit& visit : visits) {
        // A revision that vanished between the two reads is no proof of anything.
        const auto [altered, broken] = judged.value(visit.revision.position, {true, true});
        visit.altered = altered;
        visit.broken = broken;
    }
}

std::optional<HostResultsDatabase::Visit> HostResultsDatabase::Newest(QSqlDatabase& database,
                                                                      const QString& visit) const {
    const QString what = QStringLiteral("reading the newest revision of visit %1").arg(visit);
    QSqlQuery found = Run(
        database, kVisitSelect + QStringLiteral(" WHERE r.visit_uid = ? ORDER BY r.revision DESC LIMIT 1"),
        {visit}, what);
    const auto newest = ReadVisits(database, found, what);
    return newest.isEmpty() ? std::nullopt : std::optional<Visit>(newest.first());
}

std::optional<HostRevision> HostResultsDatabase::Sealing(const HostVisitRecord& visit, const QString& file) {
    if (m_absent) return std::nullopt;
    QSqlDatabase database = Database();
    const auto newest = Newest(database, Identity(visit, file));
    if (!newest || !newest->record.SameAs(visit)) return std::nullopt;
    return newest->revision;
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
    QSqlQuery rows = Run(
        database,
        QStringLiteral(
            "SELECT v.performed, t.position, t.name, t.status, t.performed, m.key, m.description, "
            "m.value_text, m.value, m.unit, m.status, m.limits, r.id, r.visit_uid, r.revision FROM visits v "
            "JOIN revisions r ON r.visit = v.id AND ") +
            kNewest +
            QStringLiteral(
                " JOIN tests t ON t.id = (SELECT c.id FROM tests c WHERE c.visit = v.id AND c.test_id = ? "
                "ORDER BY CASE WHEN c.position = ? THEN 0 ELSE 1 END, c.position, c.id LIMIT 1) "
                "JOIN measurements m ON m.id = (SELECT x.id FROM measurements x WHERE x.test = t.id AND "
                "x.key = ? ORDER BY x.position, x.id LIMIT 1) "
                "WHERE v.asset = (SELECT id FROM assets WHERE asset_id = ?) AND v.performed < ? AND "
                "m.value IS NOT NULL "
                "ORDER BY v.performed DESC, v.id DESC LIMIT %1")
                .arg(qMax(limit, 0)),
        {testId, position, key, assetId, before}, what);
    QList<Visit> visits;
    while (Next(rows, what)) {
        Visit visit;
        visit.record.assetId = assetId;
        visit.record.performed = rows.value(0).toString();
        visit.record.tests.append({rows.value(1).toInt(),
                                   testId,
                                   rows.value(2).toString(),
                                   rows.value(3).toString(),
                                   rows.value(4).toString(),
                                   {ReadingAt(rows, 5)}});
        visit.revision.position = rows.value(12).toLongLong();
        visit.revision.visit = rows.value(13).toString();
        visit.revision.number = rows.value(14).toInt();
        visits << visit;
    }
    return visits;
}

HostResultsDatabase::Verification HostResultsDatabase::Verify(const QString& seal) {
    Verification verification;
    if (m_absent) return verification;
    QSqlDatabase database = Database();
    if (!m_postgres) CheckFile(database);
    const QString what = QStringLiteral("verifying");
    // What every stored visit's rows add up to now, a batch at a time.
    QHash<qint64, QString> content;
    QHash<qint64, std::pair<QString, QString>> named;
    for (qint64 after = -1;;) {
        QSqlQuery batch =
            Run(database,
                QStringLiteral("SELECT v.id, ") + kRecordColumns +
                    QStringLiteral(" FROM visits v LEFT JOIN assets a ON a.id = v.asset WHERE v.id > ? "
                                   "ORDER BY v.id LIMIT %1")
                        .arg(kVerifyBatch),
                {after}, what);
        QHash<qint64, HostVisitRecord> records;
        while (Next(batch, what)) {
            after = batch.value(0).toLongLong();
            records.insert(after, RecordAt(batch, 1));
        }
        if (records.isEmpty()) break;
        QHash<qint64, HostVisitRecord*> filled;
        for (auto it = records.begin(); it != records.end(); ++it) filled.insert(it.key(), &it.value());
        ReadTests(database, filled, what);
        for (auto it = records.cbegin(); it != records.cend(); ++it) {
            content.insert(it.key(), it->Checksum());
            named.insert(it.key(), {it->assetId, it->performed});
        }
    }
    const QString typed = HostRevision::Typed(seal);
    QSqlQuery chain =
        Run(database,
            QStringLiteral("SELECT id, visit, visit_uid, revision, command, archived, content_sha256, seal "
                           "FROM revisions ORDER BY id"),
            {}, what);
    QString previous;
    QHash<QString, int> numbers;
    QSet<qint64> sealed;
    while (Next(chain, what)) {
        ++verification.revisions;
        const qint64 row = chain.value(1).toLongLong();
        HostRevision revision{chain.value(0).toLongLong(), chain.value(2).toString(),
                              chain.value(3).toInt(),      chain.value(4).toString(),
                              chain.value(5).toString(),   chain.value(6).toString(),
                              chain.value(7).toString()};
        sealed.insert(row);
        const auto [assetId, performed] = named.value(row);
        Break found{verification.revisions, revision.visit, revision.number, assetId, performed, {}};
        QStringList why;
        if (revision.SealAfter(previous) != revision.seal)
            why << QStringLiteral(
                "its seal does not follow from the revision stored before it (a revision was "
                "changed, inserted, deleted or moved here)");
        const int expected = numbers.value(revision.visit) + 1;
        if (revision.number != expected)
            why << QStringLiteral("it is revision %1 where revision %2 of its visit belongs")
                       .arg(revision.number)
                       .arg(expected);
        numbers[revision.visit] = revision.number;
        if (!content.contains(row))
            why << QStringLiteral("the visit it seals is no longer stored");
        else if (content.value(row) != revision.content)
            why << QStringLiteral(
                "the visit's readings or details differ from what was sealed (altered after "
                "it was stored)");
        if (!why.isEmpty()) {
            found.what = why.join(QStringLiteral("; "));
            verification.breaks << found;
        }
        if (!typed.isEmpty() && revision.seal.startsWith(typed)) {
            Visit visit;
            visit.revision = revision;
            visit.record.assetId = assetId;
            visit.record.performed = performed;
            verification.sealed = visit;
        }
        previous = revision.seal;
        verification.last = revision;
    }
    verification.visits = numbers.size();
    // Rows no seal covers were put there by hand, or belonged to a visit that was taken out.
    for (auto it = named.cbegin(); it != named.cend(); ++it) {
        if (!sealed.contains(it.key()))
            verification.breaks << Break{
                0, {}, 0, it->first, it->second, QStringLiteral("a stored visit no revision seals")};
    }
    for (const auto& [table, parent] : {std::pair{QStringLiteral("tests"), QStringLiteral("visit")},
                                        std::pair{QStringLiteral("measurements"), QStringLiteral("test")}}) {
        const QString owner =
            table == QLatin1String("tests") ? QStringLiteral("visits") : QStringLiteral("tests");
        QSqlQuery orphans =
            Run(database,
                QStringLiteral(
                    "SELECT COUNT(*) FROM %1 c WHERE NOT EXISTS (SELECT 1 FROM %2 o WHERE o.id = c.%3)")
                    .arg(table, owner, parent),
                {}, what);
        if (Next(orphans, what) && orphans.value(0).toLongLong() > 0)
            verification.breaks << Break{
                0,
                {},
                0,
                {},
                {},
                QStringLiteral("%1 rows of %2 belong to nothing stored (their %3 was deleted)")
                    .arg(orphans.value(0).toLongLong())
                    .arg(table, parent)};
    }
    return verification;
}

void HostResultsDatabase::SetInterval(const QString& assetId, int months) {
    if (assetId.isEmpty()) Fail(QStringLiteral("setting an interval"), QStringLiteral("no asset is named"));
    if (months < 1 || months > kLongestInterval)
        Fail(QStringLiteral("setting the interval of %1").arg(assetId),
             QStringLiteral("%1 months is no interval (1 to %2)").arg(months).arg(kLongestInterval));
    if (m_access == Access::Read)
        Fail(QStringLiteral("setting an interval"), QStringLiteral("it was opened for reading"));
    QSqlDatabase database = Database();
    const QString what = QStringLiteral("setting the interval of %1").arg(assetId);
    BeginWriting(database);
    try {
        Run(database,
            QStringLiteral("INSERT INTO assets (asset_id) VALUES (?) ON CONFLICT (asset_id) DO NOTHING"),
            {assetId}, what);
        Run(database,
            QStringLiteral("INSERT INTO asset_intervals (asset, months, set_at, source) SELECT id, ?, ?, "
                           "'asset' FROM assets WHERE asset_id = ?"),
            {months, QDateTime::currentDateTimeUtc().toString(Qt::ISODate), assetId}, what);
        Direct(database, QStringLiteral("COMMIT"), what);
    } catch (const ComError&) {
        RollBack(database);
        throw;
    }
}

QList<HostResultsDatabase::Due> HostResultsDatabase::Dues() {
    if (m_absent) return {};
    QSqlDatabase database = Database();
    const QString what = QStringLiteral("reading when the assets are due");
    // Each asset's newest complete visit by walking its visits newest first: the cost grows with the
    // number of assets, not with their visits.
    // An interval set by hand before any a procedure gave; before they were told apart, every one
    // was set by hand.
    QString interval = QStringLiteral("NULL");
    if (m_version >= kIntervalSourcesVersion)
        interval = QStringLiteral(
            "(SELECT i.months FROM asset_intervals i WHERE i.asset = a.id ORDER BY CASE WHEN i.source = "
            "'asset' THEN 0 ELSE 1 END, i.id DESC LIMIT 1)");
    else if (m_version >= kIntervalsVersion)
        interval = QStringLiteral(
            "(SELECT i.months FROM asset_intervals i WHERE i.asset = a.id ORDER BY i.id DESC LIMIT 1)");
    QSqlQuery rows = Run(
        database,
        QStringLiteral(
            "SELECT a.asset_id, %1, v.asset_make_model, v.asset_location, v.performed, v.verdict, "
            "r.id, r.visit_uid, r.revision FROM assets a LEFT JOIN visits v ON v.id = (SELECT w.id "
            "FROM visits w WHERE w.asset = a.id AND w.verdict IN ('PASSED', 'FAILED') AND "
            "w.performed <> '' AND EXISTS (SELECT 1 FROM revisions r WHERE r.visit = w.id AND ")
                .arg(interval) +
            kNewest +
            QStringLiteral(") ORDER BY w.performed DESC, w.id DESC LIMIT 1) LEFT JOIN revisions r ON r.id = "
                           "(SELECT MAX(r.id) FROM revisions r WHERE r.visit = v.id AND ") +
            kNewest + QStringLiteral(") ORDER BY a.asset_id"),
        {}, what);
    QList<Due> dues;
    while (Next(rows, what)) {
        Due due;
        due.assetId = rows.value(0).toString();
        due.months = rows.value(1).isNull() ? kDefaultInterval : rows.value(1).toInt();
        due.visited = !rows.value(6).isNull();
        due.last.record.assetId = due.assetId;
        due.last.record.assetMakeModel = rows.value(2).toString();
        due.last.record.assetLocation = rows.value(3).toString();
        due.last.record.performed = rows.value(4).toString();
        due.last.record.verdict = rows.value(5).toString();
        due.last.revision.position = rows.value(6).toLongLong();
        due.last.revision.visit = rows.value(7).toString();
        due.last.revision.number = rows.value(8).toInt();
        dues << due;
    }
    return dues;
}

void HostResultsDatabase::EachJudged(int newest, const std::function<void(const Judged&)>& each) {
    if (m_absent || newest <= 0) return;
    QSqlDatabase database = Database();
    const QString what = QStringLiteral("reading the judged readings");
    // One pass in the order the fits need: a reading's points arrive together, oldest first, and
    // only one row at a time is held here. Each asset's newest visits are found walking its index
    // backwards, so the time taken follows the assets, not how long their histories are.
    QSqlQuery rows(database);
    rows.setForwardOnly(true);
    const QString newestVisits =
        QStringLiteral(
            "SELECT w.id FROM visits w JOIN revisions r ON r.visit = w.id WHERE w.asset = a.id AND "
            "w.performed <> '' AND ") +
        kNewest + QStringLiteral(" ORDER BY w.performed DESC, w.id DESC LIMIT %1").arg(newest);
    if (!rows.prepare(
            QStringLiteral(
                "SELECT a.asset_id, t.test_id, m.key, t.name, m.description, m.unit, v.performed, m.value, "
                "m.limits, v.asset_make_model, v.asset_location FROM assets a ") +
            EachAssetsNewest(newestVisits, QStringLiteral("visits"), QStringLiteral("v")) +
            QStringLiteral(
                " JOIN tests t ON t.visit = v.id JOIN measurements m ON m.test = t.id WHERE m.value IS "
                "NOT NULL AND m.limits <> '[]' ORDER BY a.asset_id, t.test_id, m.key, v.performed, "
                "v.id, m.id")))
        Fail(what, rows.lastError().text());
    Run(rows, what);
    Judged judged;
    QString limitsText;
    while (Next(rows, what)) {
        judged.assetId = rows.value(0).toString();
        judged.testId = rows.value(1).toInt();
        judged.key = rows.value(2).toString();
        judged.testName = rows.value(3).toString();
        judged.description = rows.value(4).toString();
        judged.unit = rows.value(5).toString();
        judged.performed = rows.value(6).toString();
        judged.value = rows.value(7).toDouble();
        // A reading's limits seldom change from one visit to the next: read again only when they do.
        const QString limits = rows.value(8).toString();
        if (limits != limitsText) {
            limitsText = limits;
            judged.limits = LimitsFromJson(limits);
        }
        judged.makeModel = rows.value(9).toString();
        judged.location = rows.value(10).toString();
        each(judged);
    }
}

QList<HostResultsDatabase::Recent> HostResultsDatabase::RecentVisits(int limit, int countTo) {
    if (m_absent || limit <= 0) return {};
    QSqlDatabase database = Database();
    const QString what = QStringLiteral("reading the assets' recent visits");
    // Each asset's newest revisions found walking its index backwards, and counted no further than
    // asked: one query for every asset, its time following the assets, not their histories.
    const QString newestOfAsset =
        QStringLiteral("FROM revisions r JOIN visits w ON w.id = r.visit WHERE w.asset = a.id AND ") +
        kNewest;
    QSqlQuery rows(database);
    rows.setForwardOnly(true);
    // The count once per asset (a materialised list), not once per visit shown.
    if (!rows.prepare(
            QStringLiteral(
                "WITH counted AS MATERIALIZED (SELECT a.id, a.asset_id, (SELECT COUNT(*) FROM (SELECT 1 ") +
            newestOfAsset +
            QStringLiteral(" LIMIT %1) c) AS c FROM assets a) SELECT v.id, v.file, ")
                .arg(std::max(countTo, limit)) +
            kRecordColumns +
            QStringLiteral(
                ", r.id, r.visit_uid, r.revision, r.command, r.archived, r.content_sha256, r.seal, a.c "
                "FROM counted a ") +
            EachAssetsNewest(QStringLiteral("SELECT r.id ") + newestOfAsset +
                                 QStringLiteral(" ORDER BY w.performed DESC, w.id DESC LIMIT %1").arg(limit),
                             QStringLiteral("revisions"), QStringLiteral("r")) +
            QStringLiteral(
                " JOIN visits v ON v.id = r.visit ORDER BY a.asset_id, v.performed DESC, v.id DESC")))
        Fail(what, rows.lastError().text());
    Run(rows, what);
    QList<Recent> recent;
    while (Next(rows, what)) {
        Visit visit;
        visit.file = rows.value(1).toString();
        visit.record = RecordAt(rows, 2);
        visit.revision = {rows.value(12).toLongLong(), rows.value(13).toString(), rows.value(14).toInt(),
                          rows.value(15).toString(),   rows.value(16).toString(), rows.value(17).toString(),
                          rows.value(18).toString()};
        visit.record.visit = visit.revision.visit;
        if (recent.isEmpty() || recent.last().assetId != visit.record.assetId)
            recent.append({visit.record.assetId, {}, rows.value(19).toLongLong()});
        recent.last().visits << visit;
    }
    return recent;
}

}  // namespace orvex
