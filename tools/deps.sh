# Sourced by run.sh and test.sh: installs with apt-get whatever a fresh Debian 12 machine lacks.
velk_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libjpeg62-turbo-dev libturbojpeg0-dev libasound2-dev
  pulseaudio alsa-utils libasound2-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils openbox
  libjpeg-turbo-progs imagemagick liblcms2-dev liblcms2-utils libimage-exiftool-perl
  libtiff-dev libtiff-tools
  libgif-dev giflib-tools
  fonts-dejavu-core
  desktop-file-utils appstream
  help2man lintian
)

velk_install_missing() {
  local missing=()
  for package in "${velk_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure-and-build DIR BUILD_TYPE [cmake options...]
velk_build() {
  local dir=$1 type=$2
  shift 2
  cmake -S "$velk_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$dir"
}
