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
# The command line against the same server: a visit stored once, and read back.
"$build/bin/orvex" new "$work/visit.xml" 200 --asset-id PG-1 --technician Kim >/dev/null
printf 'start\nnext\n' >"$work/relief.txt"
"$build/bin/orvex" run "$work/visit.xml" --simulate --time-scale 0.05 --auto "$work/relief.txt" --database "$url"
"$build/bin/orvex" archive "$work/visit.xml" --database "$url" | grep -q "before; nothing changed"
"$build/bin/orvex" history PG-1 --database "$url" --json | grep -q '"verdict": "PASSED"'
# A role that may only read reads the history: readers open the database read-only.
"${as[@]}" "$pg/psql" -h 127.0.0.1 -p "$port" -U orvex -d results -qc \
  "CREATE ROLE reader LOGIN; GRANT USAGE ON SCHEMA public TO reader; GRANT SELECT ON ALL TABLES IN SCHEMA public TO reader"
"$build/bin/orvex" history PG-1 --database "postgresql://reader@127.0.0.1:$port/results" --json |
  grep -q '"verdict": "PASSED"'
echo "test-postgresql: passed"
