# Sourced by the scripts that build the whole suite in a folder of their own and run it.
# read_suite_options "$@" reads "--NAME PATH" for each option named in the associative
# array suite_paths (option -> variable; the path is made absolute), and "--" followed by
# the arguments for ctest, which it leaves in the array ctest_args.
read_suite_options() {
  ctest_args=()
  while (($#)); do
    if [ "$1" = "--" ]; then
      shift
      ctest_args=("$@")
      return
    fi
    if [ -z "$1" ] || [ -z "${suite_paths[$1]:-}" ]; then
      echo "unknown option: $1" >&2
      exit 2
    fi
    if (($# < 2)); then
      echo "$1 needs a path" >&2
      exit 2
    fi
    printf -v "${suite_paths[$1]}" '%s' "$(realpath -m "$2")"
    shift 2
  done
}
