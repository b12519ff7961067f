select
    a,
    b
from
    t
where
    x = 1
    and
        y = 2