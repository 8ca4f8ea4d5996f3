# Reads the suite installer's media table (suite/media_files.def), the one list
# of media files that the installer's code and these tools share. Source it.

MEDIA_TABLE=${MEDIA_TABLE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/suite/media_files.def}

# Prints "NAME STORED ORIGIN" for every row, in table order.
media_rows() {
    local rows
    rows=$(sed -n 's/^MEDIA_FILE("\([^"]*\)", *\([A-Z]*\), *\([A-Z]*\),.*$/\1 \2 \3/p' "$MEDIA_TABLE")
    if [ -z "$rows" ]; then
        echo "no media rows in $MEDIA_TABLE" >&2
        return 1
    fi
    # A row that does not parse would silently drop a file from the media.
    local all
    all=$(grep -c '^MEDIA_FILE(' "$MEDIA_TABLE")
    if [ "$all" -ne "$(wc -l <<<"$rows")" ]; then
        echo "unreadable rows in $MEDIA_TABLE" >&2
        return 1
    fi
    echo "$rows"
}

# The compressed name rule: the last character replaced by an underscore.
compressed_name() {
    echo "${1%?}_"
}
