#!/usr/bin/env bash
# A stand-in for the extension's `serve` that draws: a timeline is one entry dated by a running
# count (every reload brings a new entry), a drawing is a small file written at "out".
n=0
while IFS= read -r line; do
  id=$(sed -n 's/.*"id":\([0-9]*\).*/\1/p' <<<"$line")
  [ -n "$id" ] || continue
  case "$line" in
    *'"op":"timeline"'*)
      n=$((n + 1))
      echo "{\"id\":$id,\"result\":{\"entries\":[{\"date\":$((1800000000000 + n))}],\"reloadAt\":4000000000000}}" ;;
    *'"op":"render"'*)
      out=$(sed -n 's/.*"out":"\([^"]*\)".*/\1/p' <<<"$line")
      printf png > "$out"
      echo "{\"id\":$id,\"result\":{\"path\":\"$out\",\"size\":[170,170],\"scale\":1,\"links\":[]}}" ;;
    *) echo "{\"id\":$id,\"result\":{}}" ;;
  esac
done
