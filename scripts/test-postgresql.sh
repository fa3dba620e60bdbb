#!/usr/bin/env bash
# Runs the results database's tests, and orvex archive and history, against a PostgreSQL server of
# their own: a throw-away cluster in a temporary folder on a free local port, stopped at the end.
# Skipped, with a line that says so, only when the PostgreSQL packages cannot be installed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
if ! scripts/install-packages.sh postgresql libqt6sql6-psql; then
  echo "test-postgresql: SKIPPED: the Debian packages postgresql and libqt6sql6-psql cannot be installed"
  exit 0
fi
pg=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
work=$(mktemp -d)
chmod 755 "$work"
# The server refuses to run as root; it runs as the packages' own user then.
as=()
if [ "$(id -u)" -eq 0 ]; then
  as=(runuser -u postgres --)
  mkdir "$work/data" && chown postgres "$work/data"
fi
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
stop() {
  "${as[@]}" "$pg/pg_ctl" -D "$work/data" stop -m fast >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap stop EXIT
"${as[@]}" "$pg/initdb" -D "$work/data" -U orvex --auth=trust >"$work/initdb.log"
"${as[@]}" "$pg/pg_ctl" -D "$work/data" -l "$work/data/server.log" -w \
  -o "-p $port -k $work/data -c listen_addresses=127.0.0.1" start >/dev/null
"${as[@]}" "$pg/createdb" -h 127.0.0.1 -p "$port" -U orvex results
url="postgresql://orvex@127.0.0.1:$port/results"
echo "test-postgresql: a server on port $port"
export QT_QPA_PLATFORM=offscreen ORVEX_REGISTRY=$work/Registry.ini XDG_STATE_HOME=$work/state
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
ORVEX_TEST_POSTGRESQL=$url "$build/bin/host_tests" --gtest_filter='Backends/ResultsDatabaseTest.*/1' --gtest_brief=1
# The command line against a database of its own on the same server (the tests above altered rows
# of theirs on purpose): a visit stored once, and read back.
"${as[@]}" "$pg/createdb" -h 127.0.0.1 -p "$port" -U orvex visits
url="postgresql://orvex@127.0.0.1:$port/visits"
"$build/bin/orvex" new "$work/visit.xml" 200 --asset-id PG-1 --technician Kim >/dev/null
printf 'start\nnext\n' >"$work/relief.txt"
"$build/bin/orvex" run "$work/visit.xml" --simulate --time-scale 0.05 --auto "$work/relief.txt" --database "$url"
"$build/bin/orvex" archive "$work/visit.xml" --database "$url" | grep -q "before; nothing changed"
"$build/bin/orvex" history PG-1 --database "$url" --json | grep -q '"verdict": "PASSED"'
sql() { "${as[@]}" "$pg/psql" -h 127.0.0.1 -p "$port" -U orvex -d visits -v ON_ERROR_STOP=1 -qAtc "$1"; }
# The two roles the README gives a department: technicians add visits, a reader only reads; the
# schema's owner (orvex here) is the administrator.
sql "CREATE ROLE technician LOGIN; GRANT USAGE ON SCHEMA public TO technician;
     GRANT SELECT, INSERT ON ALL TABLES IN SCHEMA public TO technician;
     GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO technician;
     CREATE ROLE reader LOGIN; GRANT USAGE ON SCHEMA public TO reader;
     GRANT SELECT ON ALL TABLES IN SCHEMA public TO reader"
technician="postgresql://technician@127.0.0.1:$port/visits"
reader="postgresql://reader@127.0.0.1:$port/visits"
# An asset edit archived again by a technician: one visit, two revisions.
"$build/bin/orvex" asset "$work/visit.xml" --asset-location "Ward 3"
"$build/bin/orvex" archive "$work/visit.xml" --database "$technician" | grep -q "new revision"
[ "$("$build/bin/orvex" history PG-1 --database "$reader" --json | grep -c '"verdict"')" = 1 ]
"$build/bin/orvex" history PG-1 --database "$reader" --revisions | grep -q "revision 2.*Ward 3"
"$build/bin/orvex" verify --database "$reader" | grep -q "is whole"
# A technician sets the asset's interval; the reader's lists: due within a month, and no drift of
# a single visit.
"$build/bin/orvex" asset PG-1 --interval 1 --database "$technician" >/dev/null
"$build/bin/orvex" due --within 40 --database "$reader" | grep -q "^PG-1	.*	whole	"
"$build/bin/orvex" drift --database "$reader" >/dev/null
"$build/bin/orvex" fleet --html "$work/fleet.html" --database "$reader" >/dev/null
grep -q "PG-1" "$work/fleet.html"
# Stored rows are never changed, not even by the schema's owner.
if sql "UPDATE measurements SET value = 1" 2>"$work/refused.txt"; then
  echo "test-postgresql: an UPDATE of a stored reading was taken"; exit 1
fi
grep -q "never changed or deleted" "$work/refused.txt"
# A held lock ends an archive within its time-out, with the reason, and the run's file stands.
"${as[@]}" "$pg/psql" -h 127.0.0.1 -p "$port" -U orvex -d visits -qc \
  "BEGIN; LOCK TABLE visits IN ACCESS EXCLUSIVE MODE; SELECT pg_sleep(60); COMMIT" >/dev/null 2>&1 &
holder=$!
sleep 1
"$build/bin/orvex" asset "$work/visit.xml" --technician "Lee"
started=$(date +%s)
if "$build/bin/orvex" archive "$work/visit.xml" --database "$url" 2>"$work/locked.txt"; then
  echo "test-postgresql: an archive went past a held lock"; exit 1
fi
waited=$(($(date +%s) - started))
kill "$holder" 2>/dev/null || true
wait "$holder" 2>/dev/null || true
sql "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE query LIKE '%pg_sleep(60)%' AND pid <> pg_backend_pid()" >/dev/null
grep -q "lock timeout" "$work/locked.txt" && [ "$waited" -lt 45 ]
# What an administrator who drops the guard does is still seen: a revision moved, one changed,
# one deleted each break the chain of seals.
"$build/bin/orvex" archive "$work/visit.xml" --database "$technician" | grep -q "new revision"
"$build/bin/orvex" verify --database "$reader" | grep -q "is whole: 3 revisions"
for tamper in "UPDATE revisions SET id = id + 100 WHERE id = (SELECT MIN(id) FROM revisions)" \
              "UPDATE revisions SET content_sha256 = md5(content_sha256) || md5(seal) WHERE revision = 2" \
              "DELETE FROM revisions WHERE revision = 2"; do
  sql "ALTER TABLE revisions DISABLE TRIGGER revisions_kept; BEGIN; $tamper; COMMIT"
  if "$build/bin/orvex" verify --database "$reader" >"$work/verify.txt"; then
    echo "test-postgresql: verify found no break after: $tamper"; exit 1
  fi
  grep -q "^break: " "$work/verify.txt"
  sql "ALTER TABLE revisions ENABLE TRIGGER revisions_kept"
done
echo "test-postgresql: passed"
