#!/usr/bin/env bash
# Runs a test program against a private PulseAudio with a null sink, which ALSA's default
# device reaches through the pulse plugin. Exits 77 (skipped) when PulseAudio cannot start.
set -u
work=$(mktemp -d "${TMPDIR:-/tmp}/velk-pulse.XXXXXX")
export XDG_RUNTIME_DIR=$work/run HOME=$work/home
unset XDG_CONFIG_HOME PULSE_SERVER PULSE_RUNTIME_PATH ALSA_CONFIG_PATH
mkdir -p "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
# Without a sound card the default device only reaches PulseAudio through a configuration.
cat >"$HOME/.asoundrc" <<'EOF'
pcm.!default { type pulse }
ctl.!default { type pulse }
EOF

stop() {
  local pid
  pid=$(cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null)
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap stop EXIT

skip() {
  echo "SKIPPED: $1"
  [ -f "$work/pulse.log" ] && cat "$work/pulse.log"
  exit 77
}

command -v pulseaudio >/dev/null || skip "pulseaudio is not installed"
command -v amixer >/dev/null || skip "amixer is not installed"
pulseaudio -n --daemonize=yes --exit-idle-time=-1 -L module-null-sink \
  -L module-native-protocol-unix >"$work/pulse.log" 2>&1 || skip "pulseaudio could not start"
for _ in $(seq 50); do
  amixer -D default sget Master >/dev/null 2>&1 && break
  sleep 0.1
done
amixer -D default sget Master >/dev/null 2>&1 || skip "ALSA cannot reach pulseaudio"

"$@"
