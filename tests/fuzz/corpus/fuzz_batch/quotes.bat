cmd "unclosed
cmd a" b
"" x
# only comment

