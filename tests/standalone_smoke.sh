#!/usr/bin/env bash
# Starts the Standalone application under a virtual display, checks that it
# is still running after a few seconds and shows its window, then ends it.
# Usage: standalone_smoke.sh PATH_TO_STANDALONE [SCREENSHOT.png]
set -euo pipefail
app="$1"
shot="${2:-}"

if ! command -v xvfb-run >/dev/null; then
    echo "xvfb-run not installed"; exit 1
fi

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat > "$inner" <<'INNER'
#!/usr/bin/env bash
set -u
"$1" >/tmp/vazezav-standalone.log 2>&1 &
pid=$!
for _ in $(seq 1 20); do
    sleep 0.5
    xwininfo -root -tree 2>/dev/null | grep -q '"QEN VAZEZAV"' && break
done
sleep 1
if ! kill -0 "$pid" 2>/dev/null; then
    echo "the Standalone exited early:"; cat /tmp/vazezav-standalone.log; exit 1
fi
if ! xwininfo -root -tree | grep -q '"QEN VAZEZAV"'; then
    echo "no window titled QEN VAZEZAV"; kill "$pid"; exit 1
fi
if [[ -n "${2:-}" ]] && command -v import >/dev/null; then
    import -window root "$2" && echo "screenshot: $2"
fi
kill "$pid"
wait "$pid" 2>/dev/null || true
echo "Standalone ran and showed its window"
INNER
chmod +x "$inner"
HOME=$(mktemp -d) xvfb-run -a -s "-screen 0 1024x768x24" "$inner" "$app" "$shot"
