# shellcheck shell=bash disable=SC2034  # site_root is read by the scripts that source this one
# Serves a generated site's files with Debian's nginx on 127.0.0.1, on a port nobody else holds,
# for the benchmark and the screenshot. Source it, then:
#
#   serve_site WORK_DIR HELD_MS    serves WORK_DIR/site (files as they are: pages as UTF-8 HTML,
#                                  /files/ as octet streams), with one kept-alive connection for a
#                                  whole run and nothing logged per request; a page under /slow/
#                                  asked for again within HELD_MS is held back until then (the
#                                  rate limiter delays rather than refuses). Sets site_root
#                                  ("http://127.0.0.1:PORT") and site_server_pid; nginx's own
#                                  files go to WORK_DIR/nginx.
#   stop_site                      stops it again (does nothing when none runs).

site_server_pid=""
site_root=""

stop_site() {
  if [ -n "$site_server_pid" ]; then
    kill "$site_server_pid" 2>/dev/null || true
    wait "$site_server_pid" 2>/dev/null || true
  fi
  site_server_pid=""
}

# nginx on `port`; false, with nothing left running, when it cannot take that port.
start_nginx_on() {
  local work=$1 held_ms=$2 port=$3 dir=$1/nginx nginx
  # Debian installs nginx into /usr/sbin, which a normal user's PATH may lack.
  nginx=$(PATH=$PATH:/usr/sbin command -v nginx) || { echo "nginx is missing: bash scripts/setup.sh" >&2; return 1; }
  mkdir -p "$dir"
  local user_line=""
  # Workers started by root would drop to an unprivileged user that cannot read the work folder.
  [ "$(id -u)" = 0 ] && user_line="user root;"
  cat >"$dir/nginx.conf" <<CONF
$user_line
daemon off;
worker_processes 1;
pid $dir/nginx.pid;
error_log $dir/error.log warn;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $dir/client_body;
  proxy_temp_path $dir/proxy;
  fastcgi_temp_path $dir/fastcgi;
  uwsgi_temp_path $dir/uwsgi;
  scgi_temp_path $dir/scgi;
  types { }
  default_type text/html;
  charset utf-8;
  sendfile on;
  tcp_nodelay on;
  keepalive_requests 100000;
  keepalive_timeout 600s;
  limit_req_zone \$binary_remote_addr zone=held:1m rate=$((60000 / held_ms))r/m;
  server {
    listen 127.0.0.1:$port;
    root $work/site;
    location /files/ { default_type application/octet-stream; }
    location /slow/ { limit_req zone=held burst=10; }
  }
}
CONF
  "$nginx" -p "$dir" -e "$dir/error.log" -c "$dir/nginx.conf" &
  site_server_pid=$!
  for _ in $(seq 200); do
    kill -0 "$site_server_pid" 2>/dev/null || break
    curl --silent --output /dev/null "http://127.0.0.1:$port/" && return 0
    sleep 0.05
  done
  stop_site
  return 1
}

serve_site() {
  local work=$1 held_ms=$2 port
  # nginx gives up at once on a port that is taken, and another is tried.
  for _ in $(seq 20); do
    port=$((20000 + RANDOM % 40000))
    if start_nginx_on "$work" "$held_ms" "$port"; then
      site_root="http://127.0.0.1:$port"
      return 0
    fi
  done
  echo "nginx did not start:" >&2
  cat "$work/nginx/error.log" >&2 2>/dev/null || true
  return 1
}
