# Reads the suite installer's media table (suite/media_files.def), the one list
# of media files that the installer's code and these tools share, and the
# skeleton kit's table (suite/skeleton_kit.def); stores files compressed the
# way the media do. Source it.

MEDIA_TABLE=${MEDIA_TABLE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/suite/media_files.def}
KIT_TABLE=${KIT_TABLE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/suite/skeleton_kit.def}

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

# Prints "MEDIA-NAME KIT-NAME" for every file of the skeleton kit, in table order.
kit_rows() {
    sed -n 's/^KIT_FILE("\\\\\([^"]*\)", *"\\\\\([^"]*\)").*$/\1 \2/p' "$KIT_TABLE"
}

# store_compressed SOURCE STORED: SOURCE compressed, under the name STORED.
# mscompress mis-encodes inputs shorter than 16 bytes; the installers copy a
# file without the signature unchanged, so such a file is stored as it is.
store_compressed() {
    local size work
    size=$(stat -c %s "$1")
    if [ "$size" -lt 16 ]; then
        echo "note: $(basename "$2") is stored uncompressed ($size bytes)" >&2
        cp "$1" "$2"
        return
    fi
    work=$(mktemp -d)
    cp "$1" "$work/file"
    (cd "$work" && mscompress file >/dev/null)
    # mscompress appends the underscore; the media's rule replaces the last character.
    mv "$work/file_" "$2"
    rm -rf "$work"
    if ! msexpand <"$2" 2>/dev/null | cmp -s - "$1"; then
        echo "error: $(basename "$2") does not expand back to $1" >&2
        rm -f "$2" # else the next run would take it as up to date
        return 1
    fi
}
