; Unpacks a ZX02 stream (forward, initial offset 1, Elias-gamma codes that
; end with a 0 bit) in the BBC Micro's I/O processor.
;
; Two ways in:
;   screen  for the disc loaders: the stream lies just below &8000, followed
;           by four bytes: where it unpacks to, then where it starts (each
;           low byte first). Page &7F is copied to page &0A first and the
;           stream's reads from page &7F are taken from that copy, so the
;           screen can be unpacked over the stream itself: the last bytes
;           written cannot spoil the bytes still to be read.
;   unpack  for other programs: set src and dst first; nothing is redirected.
; Uses zero page &70-&79, A, X, Y and page &0A (the cassette and RS423
; input buffer) for the copy.

src     = &70           ; next stream byte
dst     = &72           ; next byte to write
from    = &74           ; where a copy reads
offset  = &76           ; the last offset less one
bits    = &78           ; the bit byte's unread bits, above a marker 1
remap   = &79           ; the page whose reads come from the copy, or 0
tail    = &0A00         ; the copy of page &7F

screen: LDX #0
keep:   LDA &7F00,X
        STA tail,X
        INX
        BNE keep
        LDA tail+&FC
        STA dst
        LDA tail+&FD
        STA dst+1
        LDA tail+&FE
        STA src
        LDA #&7F
        STA remap
        CMP tail+&FF
        BEQ incopy
        LDA tail+&FF
        STA src+1
        JMP start
incopy: LDA #>tail
        STA src+1
        JMP start

unpack: LDA #0
        STA remap
start:  LDA #0
        STA offset
        STA offset+1
        LDA #&80
        STA bits
        LDY #0

; A run of literal bytes, then a copy from the last offset (flag 0) or from
; a new one (flag 1).
literals:
        JSR elias
litbyte:
        LDA (src),Y
        STA (dst),Y
        INC src
        BNE litnext
        JSR srcpage
litnext:
        INC dst
        BNE litcount
        INC dst+1
litcount:
        DEX
        BNE litbyte
        ASL bits
        BNE litflag
        JSR refill
litflag:
        BCS newoff
        JSR elias

; Copies X bytes (0 means 256) from offset + 1 bytes back, then reads the
; flag: 0 for literals, 1 for a new offset.
copy:   LDA dst
        CLC
        SBC offset
        STA from
        LDA dst+1
        SBC offset+1
        STA from+1
copybyte:
        LDA (from),Y
        STA (dst),Y
        INY
        DEX
        BNE copybyte
        TYA
        BEQ whole
        CLC
        ADC dst
        STA dst
        BCC copied
        INC dst+1
        JMP copied
whole:  INC dst+1
copied: LDY #0
        ASL bits
        BNE copyflag
        JSR refill
copyflag:
        BCC literals

; A new offset: the code of its high part (256 ends the stream), a byte
; with its low 7 bits and, in bit 0, the first bit of the length's code.
newoff: JSR elias
        BEQ finished
        DEX
        TXA
        LSR A
        STA offset+1
        LDA (src),Y
        ROR A
        STA offset
        INC src
        BNE length
        JSR srcpage
length: JSR eliasc
        INX
        JMP copy
finished:
        RTS

; An Elias-gamma code into A and X, 256 as 0 (Z set). eliasc takes its
; first bit from the carry.
elias:  LDA #1
eloop:  ASL bits
        BNE ebit
        JSR refill
ebit:   BCC edone
        ASL bits
        BNE evalue
        JSR refill
evalue: ROL A
        JMP eloop
edone:  TAX
        RTS
eliasc: LDA #1
        JMP ebit

; The next bit byte: its top bit into the carry, the rest above a marker.
refill: PHA
        LDA (src),Y
        INC src
        BNE refilled
        JSR srcpage
refilled:
        SEC
        ROL A
        STA bits
        PLA
        RTS

; src has crossed into a new page: page &7F is read from the copy. Keeps A
; and the flags.
srcpage:
        PHP
        PHA
        INC src+1
        LDA src+1
        CMP remap
        BNE samepage
        LDA #>tail
        STA src+1
samepage:
        PLA
        PLP
        RTS
