.pragma library

// The sound editors' units. The volume fader shows a slider position s as the
// level 25 ln(s) dB, from -80 dB at its left end to 0 dB at its right end;
// records keep the linear gain 10^(level / 20).

var leftEndPosition = 0.04076220398
var zeroMarkPosition = 0.7866278611 // -6 dB, where a new item starts

// The limits of the records' fade fields, in milliseconds.
var instanceFadeLimit = 65535
var customAudioFadeLimit = 2147483647

function levelOfPosition(position) {
    return 25 * Math.log(position)
}

function positionOfLevel(level) {
    return Math.exp(level / 25)
}

function gainOfPosition(position) {
    return Math.pow(10, levelOfPosition(position) / 20)
}

// Reads seconds from the start of the text as parseFloat does (whatever
// follows the number is ignored) and gives whole milliseconds, truncated
// toward zero, within 0..limit: "Infinity", or a number too large for a
// double, gives the limit; text without a number gives 0. Held here, since an
// int signal argument would turn an infinity into 0.
function fadeMilliseconds(text, limit) {
    const seconds = parseFloat(text)
    if (isNaN(seconds))
        return 0
    return Math.min(Math.max(Math.trunc(seconds * 1000), 0), limit)
}
