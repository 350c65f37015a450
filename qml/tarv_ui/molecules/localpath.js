.pragma library

// Turns a file or folder URL from a dialog into the local path that the field
// shows: the first "file://" removed and every escape decoded. A dialog's URL
// text still escapes "%" and "#" (as %25 and %23), and decodeURI leaves %23
// alone, so anything less than a full decode names another file.
function fromUrl(url) {
    const text = url.toString().replace("file://", "")
    try {
        return decodeURIComponent(text)
    } catch (error) {
        return text
    }
}

// The URL of the folder that holds the file at `url`.
function folderOf(url) {
    const text = url.toString()
    const slash = text.lastIndexOf("/")
    return slash > "file://".length ? text.substring(0, slash) : "file:///"
}
