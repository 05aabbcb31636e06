// Stack information of calling frames: the line of the call and the frame's live locals.
function p(x) { print(x + "\n") }
function callerLine() { return getstackinfos(2).line }
function localsOf(level) {
    local names = []
    foreach (name, value in getstackinfos(level).locals)
        names.append(name + "=" + (typeof value == "table" || typeof value == "array" ? typeof value : value))
    names.sort()
    local text = ""
    foreach (n in names) text += n + " "
    return text
}
local r = callerLine()
p(r)
local multi = callerLine(
    )
p(multi)
function outer(x, y) {
    local product = x * y
    {
        local gone = 1
    }
    local listed = localsOf(2)
    local later = 0
    return listed
}
p(outer(3, 4))
p(localsOf(1))
p(getroottable().tostring().slice(0, 11) + " " + (getroottable().tostring().find("0x0x") == null))
