; Shows a screen whose palette changes line by line, in the BBC Micro's I/O
; processor, until a key is pressed or a number of frames has passed.
;
; Entered by CALL with X and Y the frames to show it for (low, high byte),
; or 0 to wait for a key. The screen is in place and its first palette set;
; the writes are in the data from &2780 (see raster_program.h):
;   params    the palette register's low byte (&21: the video ULA's, &23:
;             VideoNuLA's), then 1 when the colours are NuLA's, then 1 when
;             NuLA's entries are logical colours
;   first     32 bytes written in the vertical blanking: line 0's palette
;   pointers  16 bytes for &FE21 pointing each entry at its logical
;             colour's NuLA entry, when NuLA's entries are logical colours
;   nearest   16 bytes for &FE21: the standard colours nearest line 0's
;             NuLA colours, put back on return
;   slot0-7   for each line 1..255 (the page offset), the 8 bytes written
;             in the horizontal blanking before it, in slot order
;
; Timing (2 MHz cycles): a scan line is 128 cycles, of which the 80 from a
; line's start show its pixels in every bitmap mode; the 48 after them are
; the blanking in which a line's 8 writes are made. Writes to &FE21 and
; &FE23 take 4 cycles; reads and writes of the VIAs are stretched to the
; 1 MHz bus, by one or two cycles, so that each ends on a 1 MHz edge.
; Interlace is turned off (CRTC R8 = 0) for as long as the routine runs,
; so that every frame is 312 lines, 39936 cycles; the routine then locks to
; the vertical sync (System VIA CA1) once, to the cycle, and keeps in step
; by counting: its frame loop takes exactly 39936 cycles.
;
; Locking: a polling loop sees the vertical sync within 8 cycles of it; two
; probes, one frame and two frames later, each read the flag 4 and then 2
; cycles earlier than the loop saw it, and take 4 or 2 cycles off the
; waiting when it is already set: the error left is the same every time.
;
; Without VideoNuLA, writes to &FE23 would reach &FE21: a picture in NuLA
; colours first checks that NuLA is there (detect), and if not, its writes
; go to a byte of RAM (sink) at the same cost, leaving the standard colours
; its loader set.
;
; In a mode of 2 or 4 colours a logical colour is 8 or 4 of the 16 indexes
; NuLA's palette mode looks up, too many writes for one blanking; there the
; routine turns palette mode off and points each logical colour's video ULA
; entries at the NuLA entry of its number, so that a colour is one entry,
; two writes.
;
; Uses zero page &70-&73. Interrupts are disabled while it runs and put
; back as they were; the key press it ends on is forgotten.
;
; The timed part (wait, sync, the frame loop) must stay in the first page,
; where no branch crosses a page and costs a cycle more.

params  = &2780
sink    = &2790
first   = &27A0
pointers = &27C0
nearest = &27D0
slot0   = &2800
slot1   = &2900
slot2   = &2A00
slot3   = &2B00
slot4   = &2C00
slot5   = &2D00
slot6   = &2E00
slot7   = &2F00

lockpause = 119      ; sets where the frame loop is entered after locking

line    = &70           ; the line whose writes come next
dlo     = &71           ; frames left, less one
dhi     = &72
dstep   = &73           ; 1 when counting frames, 0 when waiting for a key

ifr     = &FE4D         ; System VIA interrupt flags: 2 vertical sync, 1 key
latch   = &FE40         ; System VIA port B: the addressable latch
crtca   = &FE00
crtcd   = &FE01
t2lo    = &FE68         ; User VIA timer 2
t2hi    = &FE69
osctl   = &0248         ; the OS's copy of the video ULA's control register
ostv    = &0291         ; *TV's interlace setting: 1 turns interlace off

entry:  JMP show

; Waits 1281 * X + 11 cycles, JSR and RTS included.
wait:   LDY #255
wloop:  DEY
        BNE wloop
        DEX
        BNE wait
        RTS

; Locks to the vertical sync and enters the frame loop at "done" at its
; place in the frame. Each gap between VIA accesses is rounded up to an
; even count by the stretch; the counts below are what they come to.
sync:   LDA #2
        STA ifr
coarse: BIT ifr
        BEQ coarse      ; seen at R, 0 to 7 cycles after the sync
        STA ifr         ; R + 8
        LDX #31
        JSR wait
        LDX #38
fine1:  DEX
        BNE fine1
        NOP
        LDA #2
        BIT ifr         ; R + 39932: one frame, less 4
        BNE late1
        NOP
        BIT line
late1:  LDA #2          ; 4 cycles sooner when the flag was set
        STA ifr
        LDX #31
        JSR wait
        LDX #38
fine2:  DEX
        BNE fine2
        NOP
        LDA #2
        BIT ifr         ; one frame on, less 2
        BNE late2
        BIT line
late2:  LDX #28         ; 2 cycles sooner when set: now a fixed time after the sync
        JSR wait
        LDX #lockpause
fine3:  DEX
        BNE fine3
        NOP
        NOP
        JMP done
quit:   JMP leave

; The frame loop: 39936 cycles from one key test to the next.
done:   LDA #1
        BIT ifr         ; a key pressed?
        BNE quit
        SEC
        LDA dlo
        SBC dstep
        STA dlo
        LDA dhi
        SBC #0
        STA dhi
        BCC quit        ; the frames counted are over
        LDX #19         ; 100 cycles: line 255 ends first
pause1: DEX
        BNE pause1
        NOP
        NOP
        LDX #0          ; line 0's palette
table:  LDA first,X
wt:     STA &FE21
        INX
        CPX #32
        BNE table
        LDX #5          ; 6668 cycles
        JSR wait
        LDX #49
pause2: DEX
        BNE pause2
        NOP
        NOP
frame:  LDA #0
        STA line

; One scan line, 128 cycles: the next line's 8 bytes are put in place
; while this one is shown (5 as immediates, 3 in A, X and Y), then
; written in the blanking before it.
next:   INC line
        LDY line
        BEQ done
        LDA slot3,Y
        STA i3+1
        LDA slot4,Y
        STA i4+1
        LDA slot5,Y
        STA i5+1
        LDA slot6,Y
        STA i6+1
        LDA slot7,Y
        STA i7+1
        LDA slot2,Y
        STA iy+1
        LDX slot1,Y
        LDA slot0,Y
iy:     LDY #0
        NOP
        NOP
        NOP
        NOP
        NOP
        NOP
        BIT line
w0:     STA &FE21
w1:     STX &FE21
w2:     STY &FE21
i3:     LDA #0
w3:     STA &FE21
i4:     LDA #0
w4:     STA &FE21
i5:     LDA #0
w5:     STA &FE21
i6:     LDA #0
w6:     STA &FE21
i7:     LDA #0
w7:     STA &FE21
        JMP next
timed_end:

show:   PHP
        SEI
        STX dlo
        STY dhi
        LDA #0
        STA dstep
        TXA
        BNE counted
        TYA
        BEQ keyed
counted:
        INC dstep
keyed:  LDA params
        LDX #&FE
        JSR target
        LDA #8          ; interlace off
        STA crtca
        LDA #0
        STA crtcd
        LDA params+1
        BEQ ready
        JSR detect
        BCS nula
        LDA #<sink
        LDX #>sink
        JSR target
        JMP ready
nula:   LDA params+2
        BEQ ready
        JSR point
ready:  LDA #&0B        ; keyboard autoscan on (addressable latch bit 3), so
        STA latch       ; that a key pressed raises CA2 even if the OS was
        LDA #3          ; scanning the keyboard itself when called
        STA ifr
        JMP sync

; Where every palette write goes: A low, X high byte.
target: STA w0+1
        STX w0+2
        STA w1+1
        STX w1+2
        STA w2+1
        STX w2+2
        STA w3+1
        STX w3+2
        STA w4+1
        STX w4+2
        STA w5+1
        STX w5+2
        STA w6+1
        STX w6+2
        STA w7+1
        STX w7+2
        STA wt+1
        STX wt+2
        STA we+1
        STX we+2
        RTS

; C set when VideoNuLA is fitted. Without it, &FE22 is the video ULA's
; control register, and a write there of the other CRTC clock rate makes
; the frame twice or half as long; with NuLA the same byte sets the
; horizontal offset (&20) or left blank (&30) to 0, as they are after reset.
; User VIA timer 2 times one whole frame after the write.
detect: JSR vsync
        LDX #&20
        LDA osctl
        AND #&10
        BNE fast
        LDX #&30
fast:   STX &FE22
        JSR vsync
        LDA #&FF
        STA t2lo
        STA t2hi
        JSR vsync
        LDA t2hi        ; &FF less the frame's length in 256 us
        LDX osctl
        STX &FE20
        CMP #&C8        ; under 14000 us: half length
        BCS none
        CMP #&98        ; over 26000 us: twice the length
        RTS
none:   CLC
        RTS

; In the vertical blanking: NuLA's palette mode off, each entry pointed at
; its logical colour's NuLA entry, and line 0's colours in those entries.
point:  JSR vsync
        LDA #&10
        STA &FE22
        LDX #15
pointer:
        LDA pointers,X
        STA &FE21
        DEX
        BPL pointer
        LDX #0
colour: LDA first,X
        STA &FE23
        INX
        CPX #32
        BNE colour
        RTS

vsync:  LDA #2
        STA ifr
vwait:  BIT ifr
        BEQ vwait
        RTS

; Back to the caller: interlace as *TV set it, line 0's palette, NuLA's
; standard colours with the nearest of them to line 0's in the video ULA,
; and the key press and vertical syncs forgotten.
leave:  LDA #8
        STA crtca
        LDA ostv
        AND #1
        EOR #1
        STA crtcd
        LDX #0
restore:
        LDA first,X
we:     STA &FE21
        INX
        CPX #32
        BNE restore
        LDA params+1
        BEQ back
        LDA #&40
        STA &FE22
        LDA osctl
        STA &FE20
        LDX #15
unpoint:
        LDA nearest,X
        STA &FE21
        DEX
        BPL unpoint
back:   LDA #3
        STA ifr
        PLP
        RTS
