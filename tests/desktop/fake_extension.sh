#!/usr/bin/env bash
# A stand-in for the extension's `serve`: counts its starts in $FAKE_DIR/starts and, by the word
# in $FAKE_DIR/mode, answers every request with its start number ("answer"), ends with status 3
# on its first request ("crash"), or answers once and ends with status 0 in its first life
# ("replace", as an extension whose bundle was replaced does), never answers ("hang"), or never
# answers nor ends, whatever its input ("stuck").
n=$(( $(cat "$FAKE_DIR/starts" 2>/dev/null || echo 0) + 1 ))
echo "$n" > "$FAKE_DIR/starts"
while IFS= read -r line; do
  id=$(sed -n 's/.*"id":\([0-9]*\).*/\1/p' <<<"$line")
  [ -n "$id" ] || continue
  case "$(cat "$FAKE_DIR/mode")" in
    crash) exit 3 ;;
    stuck) exec sleep 600 ;;
    hang) ;;
    replace)
      echo "{\"id\":$id,\"result\":$n}"
      [ "$n" -eq 1 ] && exit 0
      ;;
    *) echo "{\"id\":$id,\"result\":$n}" ;;
  esac
done
