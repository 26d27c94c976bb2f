ˆè; file: Word math
; Title: 16-bit words
; Three routines; see adder.

; routine: sub_words
; 1. load ax
; 2. subtract bx
sub_words:
    sub ax, bx
    ret

; routine: add_words
; Inputs:
; ax - first word,
;      kept on overflow
; bx - second word
;
; Result in ++ax++.@pMirror of sub_words.
add_words:
    add ax, bx      ; carry set on overflow
    ret

; routine: adder
; Call as adder(ax, bx).
adder:
    jmp add_words
