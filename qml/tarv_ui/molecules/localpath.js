.pragma library

// Turns a file or folder URL from a dialog into the local path that the field
// shows: the first "file://" removed and every escape decoded, so spaces,
// "%", "#" and non-ASCII letters arrive as themselves.
function fromUrl(url) {
    const text = url.toString().replace("file://", "")
    try {
        return decodeURIComponent(text)
    } catch (error) {
        return text
    }
}
