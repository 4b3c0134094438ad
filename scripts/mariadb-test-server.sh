#!/usr/bin/env bash
# A throwaway MariaDB server on loopback holding a PDKS database, for tests, benchmarks and demos.
#
#   mariadb-test-server.sh start DIR [--people N]   server in DIR on a free port; database "pdks"
#                                                   with schema and seed (and N generated people)
#   mariadb-test-server.sh load DIR DATABASE [--seed] [--people N]
#                                                   (re)makes DATABASE on the running server
#   mariadb-test-server.sh stop DIR                 stops the server by its process id
#
# DIR/server.env tells clients how to reach it (HOST, PORT, USER, PASSWORD, DATABASE, SOCKET, PID).
# The user may make and drop any database whose name begins with "pdks".
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
sql="$here/../card_loader/sql"
user=pdks
password=pdks-test

die() {
  echo "mariadb-test-server: $*" >&2
  exit 1
}

client() { # DIR, then mariadb arguments; as root over the socket
  local dir=$1
  shift
  mariadb --no-defaults --socket="$dir/mysqld.sock" -uroot --default-character-set=utf8mb4 "$@"
}

server_pid() { # prints the pid of a live server of DIR, if any
  local pidfile=$1/mysqld.pid
  [ -s "$pidfile" ] || return 1
  local pid
  pid=$(cat "$pidfile")
  kill -0 "$pid" 2>/dev/null || return 1
  echo "$pid"
}

stop_server() {
  local dir=$1 pid
  pid=$(server_pid "$dir") || return 0
  kill -TERM "$pid"
  for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  die "server $pid in $dir did not stop within 30 s"
}

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

load_database() { # DIR DATABASE SEED PEOPLE
  local dir=$1 db=$2 seed=$3 people=$4
  [[ $db =~ ^pdks[A-Za-z0-9_]*$ ]] || die "database name must be pdks followed by letters, digits or _: $db"
  client "$dir" -e "DROP DATABASE IF EXISTS \`$db\`;
    CREATE DATABASE \`$db\` CHARACTER SET latin5 COLLATE latin5_turkish_ci;"
  client "$dir" "$db" <"$sql/schema.sql"
  if [ "$seed" = 1 ] || [ "$people" -gt 0 ]; then
    client "$dir" "$db" <"$sql/seed.sql"
  fi
  if [ "$people" -gt 0 ]; then
    { echo "SET @people = $people;"; cat "$sql/generate_people.sql"; } | client "$dir" "$db"
  fi
}

start_server() { # DIR PEOPLE
  local dir=$1 people=$2
  stop_server "$dir"
  rm -rf "$dir"
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  mariadb-install-db --no-defaults --user=root --datadir="$dir/data" \
    --auth-root-authentication-method=normal --skip-test-db >"$dir/install.log" 2>&1 ||
    die "mariadb-install-db failed, see $dir/install.log"
  local attempt port pid
  for attempt in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 30000))
    port_in_use "$port" && continue
    /usr/sbin/mariadbd --no-defaults --user=root --datadir="$dir/data" --socket="$dir/mysqld.sock" \
      --port="$port" --bind-address=127.0.0.1 --pid-file="$dir/mysqld.pid" \
      --log-error="$dir/error.log" --skip-log-bin --innodb-buffer-pool-size=64M \
      --skip-name-resolve </dev/null >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 300); do
      if mariadb-admin --no-defaults --socket="$dir/mysqld.sock" -uroot ping >/dev/null 2>&1; then
        break
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null &&
      mariadb-admin --no-defaults --socket="$dir/mysqld.sock" -uroot ping >/dev/null 2>&1; then
      client "$dir" -e "CREATE USER '$user'@'127.0.0.1' IDENTIFIED BY '$password';
        GRANT ALL PRIVILEGES ON \`pdks%\`.* TO '$user'@'127.0.0.1';"
      load_database "$dir" pdks 1 "$people"
      cat >"$dir/server.env" <<EOF
HOST=127.0.0.1
PORT=$port
USER=$user
PASSWORD=$password
DATABASE=pdks
SOCKET=$dir/mysqld.sock
PID=$pid
EOF
      echo "MariaDB on 127.0.0.1:$port (pid $pid), database pdks, in $dir"
      return 0
    fi
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "attempt $attempt on port $port failed" >&2
  done
  die "server did not start, see $dir/error.log"
}

command=${1:-}
dir=${2:-}
[ -n "$command" ] && [ -n "$dir" ] || die "usage: $0 start|load|stop DIR ..."
shift 2
case $command in
start)
  people=0
  while [ $# -gt 0 ]; do
    case $1 in
    --people) people=$2; shift 2 ;;
    *) die "unknown option $1" ;;
    esac
  done
  start_server "$dir" "$people"
  ;;
load)
  db=${1:-}
  [ -n "$db" ] || die "usage: $0 load DIR DATABASE [--seed] [--people N]"
  shift
  seed=0 people=0
  while [ $# -gt 0 ]; do
    case $1 in
    --seed) seed=1; shift ;;
    --people) people=$2; shift 2 ;;
    *) die "unknown option $1" ;;
    esac
  done
  server_pid "$dir" >/dev/null || die "no server running in $dir"
  load_database "$dir" "$db" "$seed" "$people"
  ;;
stop)
  stop_server "$dir"
  ;;
*) die "unknown command $command" ;;
esac
