ÿ/* opened
select 1
*/ select 2 -- note
/* a */ from t /* b

c */ where x = 1
