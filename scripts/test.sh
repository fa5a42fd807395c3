#!/usr/bin/env bash
# Builds Tunekit and runs every test headless.
#   scripts/test.sh             normal build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
# The record tests write to a throw-away PostgreSQL server, started here and stopped on exit.
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-}"
scripts/install-deps.sh "$mode"
export QT_QPA_PLATFORM=offscreen

# A PostgreSQL server of our own: its data in a temporary folder, listening on localhost only
# on a free port, the role "tunekit" trusted. As root it runs as the postgres system user.
pg_dir=""
pg_as=()
stop_postgres() {
  if [[ -n "$pg_dir" ]]; then
    "${pg_as[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -m fast -w stop >/dev/null 2>&1 || true
    rm -rf "$pg_dir"
  fi
}
start_postgres() {
  pg_bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
  pg_dir=$(mktemp -d "${TMPDIR:-/tmp}/tunekit-postgres.XXXXXX")
  if [[ $(id -u) -eq 0 ]]; then
    id -u postgres >/dev/null 2>&1 || useradd --system --user-group --no-create-home --shell /usr/sbin/nologin postgres
    chown postgres "$pg_dir"
    pg_as=(runuser -u postgres --)
  fi
  local port
  for port in $(shuf -i 20000-60000 -n 20); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || break
  done
  "${pg_as[@]}" "$pg_bin/initdb" -D "$pg_dir/data" -U tunekit --auth=trust -E UTF8 >"$pg_dir/initdb.log"
  "${pg_as[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -l "$pg_dir/server.log" -w \
    -o "-c listen_addresses=127.0.0.1 -p $port -k $pg_dir -c fsync=off" start >/dev/null
  "${pg_as[@]}" "$pg_bin/createdb" -h 127.0.0.1 -p "$port" -U tunekit records
  export TUNEKIT_TEST_POSTGRES="postgresql://tunekit@127.0.0.1:$port/records"
  echo "PostgreSQL for the record tests: $TUNEKIT_TEST_POSTGRES"
}
trap stop_postgres EXIT

if [[ "$mode" == "--sanitize" ]]; then
  # The benchmarks and the screenshot tool are no tests: built in the normal build only.
  scripts/build.sh build-asan -DTUNEKIT_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DTUNEKIT_BENCH=OFF
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  start_postgres
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
else
  scripts/build.sh build
  start_postgres
  ctest --test-dir build --output-on-failure -j"$(nproc)"
fi
